# Tests of src/oplist.
