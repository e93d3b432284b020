# Tests of src/execution.
