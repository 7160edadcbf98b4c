# stb_image and stb_image_write (libstb-dev), the peer that BMP tests and
# benchmarks compare with. kel_use_stb(target) links them when installed and
# defines KEL_HAVE_STB; without them the target builds and skips the peer.
find_path(KEL_STB_INCLUDE_DIR stb/stb_image.h)
find_library(KEL_STB_LIBRARY stb)

function(kel_use_stb target)
  if(KEL_STB_INCLUDE_DIR AND KEL_STB_LIBRARY)
    target_compile_definitions(${target} PRIVATE KEL_HAVE_STB=1)
    target_include_directories(${target} PRIVATE ${KEL_STB_INCLUDE_DIR})
    target_link_libraries(${target} PRIVATE ${KEL_STB_LIBRARY})
  endif()
endfunction()
