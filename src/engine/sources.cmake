# Sources of src/engine, listed for the core library.
