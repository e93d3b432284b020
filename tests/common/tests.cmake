# Tests of src/common.
list(APPEND DUALDOCK_TEST_SOURCES
  common/files_format_test.cpp
  common/text_test.cpp
)
