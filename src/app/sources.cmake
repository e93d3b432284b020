# Sources of src/app, listed for the core library.
list(APPEND DUALDOCK_CORE_SOURCES
  src/app/app.cpp
)
