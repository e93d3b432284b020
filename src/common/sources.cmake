# Sources of src/common, listed for the core library.
list(APPEND DUALDOCK_CORE_SOURCES
  src/common/clock.cpp
  src/common/files.cpp
  src/common/format.cpp
  src/common/text.cpp
)
