# Every target links this, so the whole tree is held to the same warnings.
add_library(tessfield_warnings INTERFACE)
target_compile_options(tessfield_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wconversion -Wsign-conversion -Wshadow
  -Wnon-virtual-dtor -Woverloaded-virtual -Wsuggest-override
  -Wold-style-cast -Wcast-qual -Wnull-dereference -Wformat=2)
target_compile_definitions(tessfield_warnings INTERFACE
  QT_NO_KEYWORDS QT_NO_NARROWING_CONVERSIONS_IN_CONNECT QT_NO_CAST_FROM_ASCII
  QT_NO_CAST_TO_ASCII)
