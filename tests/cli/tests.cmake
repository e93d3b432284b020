# Tests of src/cli.
