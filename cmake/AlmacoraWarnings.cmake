# Our own targets build with every warning as an error; third-party code
# (libical, GoogleTest) is built outside this function and stays untouched.
function(almacora_target_options target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
  if(ALMACORA_WINDOWS)
    target_compile_definitions(${target} PUBLIC WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
  endif()
endfunction()

# A static library of ours: almacora_library(name SOURCES ... LIBS ...)
function(almacora_library name)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${A_SOURCES})
  almacora_target_options(${name})
  if(A_LIBS)
    target_link_libraries(${name} PUBLIC ${A_LIBS})
  endif()
endfunction()

if(NOT ALMACORA_WINDOWS AND ALMACORA_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# A folder's library from every .cpp in it (not its sub-folders), so that
# adding a file needs no edit here: almacora_folder_library(name LIBS ...)
function(almacora_folder_library name)
  cmake_parse_arguments(A "" "" "LIBS" ${ARGN})
  file(GLOB _src CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  almacora_library(${name} SOURCES ${_src} LIBS ${A_LIBS})
endfunction()
