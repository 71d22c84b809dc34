# almacora_delay_load(target lib...): the target loads each system library
# (wininet, winmm, ...) on its first call into it instead of at start. For
# each one a delay-loading import library of the same name is made from the
# toolchain's own (every function it imports) and put on the target's
# library path ahead of the toolchain's, so that -l<lib> finds it.
function(almacora_delay_load target)
  find_program(ALMACORA_DLLTOOL NAMES ${TOOLCHAIN_PREFIX}-dlltool x86_64-w64-mingw32-dlltool REQUIRED)
  find_program(ALMACORA_NM NAMES ${TOOLCHAIN_PREFIX}-nm x86_64-w64-mingw32-nm REQUIRED)
  set(dir ${CMAKE_BINARY_DIR}/delayload)
  file(MAKE_DIRECTORY ${dir})
  foreach(lib IN LISTS ARGN)
    find_file(_import lib${lib}.a PATHS ${CMAKE_FIND_ROOT_PATH}/lib NO_DEFAULT_PATH NO_CACHE REQUIRED)
    set(out ${dir}/lib${lib}.a)
    if(NOT EXISTS ${out} OR ${_import} IS_NEWER_THAN ${out})
      execute_process(COMMAND ${ALMACORA_NM} ${_import} OUTPUT_VARIABLE _symbols COMMAND_ERROR_IS_FATAL ANY)
      string(REGEX MATCHALL " I __imp_[^\n]+" _imports "${_symbols}")
      list(TRANSFORM _imports REPLACE " I __imp_" "  ")
      list(REMOVE_DUPLICATES _imports)
      list(JOIN _imports "\n" _exports)
      file(WRITE ${dir}/${lib}.def "LIBRARY ${lib}.dll\nEXPORTS\n${_exports}\n")
      execute_process(COMMAND ${ALMACORA_DLLTOOL} --input-def ${dir}/${lib}.def --output-delaylib ${out}
                              --dllname ${lib}.dll COMMAND_ERROR_IS_FATAL ANY)
    endif()
    unset(_import)
  endforeach()
  target_link_directories(${target} BEFORE PRIVATE ${dir})
endfunction()
