# Sources of src/execution, listed for the core library.
