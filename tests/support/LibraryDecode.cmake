# What libjpeg-turbo and libpng make of a picture file, which the player's own decoders are held
# to: linked by the decoder conformance test and by the picture fuzzer, so it needs neither
# widgets nor the test framework.
include_guard(GLOBAL)
find_package(JPEG REQUIRED)
find_package(PNG REQUIRED)

add_library(vs_library_decode STATIC
  ${CMAKE_CURRENT_LIST_DIR}/LibraryDecode.cpp ${CMAKE_CURRENT_LIST_DIR}/LibraryDecode.h)
target_include_directories(vs_library_decode PUBLIC ${CMAKE_CURRENT_LIST_DIR}/..)
target_link_libraries(vs_library_decode PUBLIC vs_picture Qt6::Gui PRIVATE JPEG::JPEG PNG::PNG)
set_target_properties(vs_library_decode PROPERTIES AUTOMOC OFF)
vs_target_defaults(vs_library_decode)
