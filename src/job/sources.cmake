# Sources of src/job, listed for the core library.
list(APPEND DUALDOCK_CORE_SOURCES
  src/job/language.cpp
)
