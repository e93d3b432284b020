# Sources of src/oplist, listed for the core library.
