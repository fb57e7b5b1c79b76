# The symbol library: OpenMoji's colour drawings (CC BY-SA 4.0) named in French by the
# Unicode CLDR annotations as packaged by emojibase-data (MIT). Both come from the npm
# registry at a pinned version and are checked against their SHA-256 before anything is
# taken from them. The archives are kept in .downloads/ so that a second build directory
# does not fetch them again; the program reads the library from bin/symbols.
set(SYMBOLS_DOWNLOADS ${CMAKE_SOURCE_DIR}/.downloads)
set(SYMBOLS_DIR ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/symbols)

set(OPENMOJI_VERSION 17.0.0)
set(OPENMOJI_SHA256 55ee7d13485dec86e9f38c1f3a645a13382d33ff97c0cd845ee824b0aef45e68)
set(EMOJIBASE_VERSION 17.0.0)
set(EMOJIBASE_SHA256 d01d0e2ca4e22cb402679532155342c71e2e871f25c32223c013b8b166ebdf5a)

function(tablavox_fetch_package name version sha256 out)
  set(archive ${SYMBOLS_DOWNLOADS}/${name}-${version}.tgz)
  if(EXISTS ${archive})
    file(SHA256 ${archive} have)
    if(NOT have STREQUAL sha256)
      file(REMOVE ${archive})
    endif()
  endif()
  if(NOT EXISTS ${archive})
    message(STATUS "Fetching ${name} ${version} from the npm registry")
    file(DOWNLOAD https://registry.npmjs.org/${name}/-/${name}-${version}.tgz ${archive}.part
         EXPECTED_HASH SHA256=${sha256} STATUS status TLS_VERIFY ON)
    list(GET status 0 code)
    if(NOT code EQUAL 0)
      file(REMOVE ${archive}.part)
      set(${out} "" PARENT_SCOPE)
      message(WARNING "${name} ${version} could not be fetched (${status}): "
                      "the program is built without its symbol library")
      return()
    endif()
    file(RENAME ${archive}.part ${archive})
  endif()
  set(${out} ${archive} PARENT_SCOPE)
endfunction()

set(stamp ${SYMBOLS_DIR}/.openmoji-${OPENMOJI_VERSION}-emojibase-${EMOJIBASE_VERSION})
if(NOT EXISTS ${stamp})
  tablavox_fetch_package(openmoji ${OPENMOJI_VERSION} ${OPENMOJI_SHA256} openmoji_archive)
  tablavox_fetch_package(emojibase-data ${EMOJIBASE_VERSION} ${EMOJIBASE_SHA256} emojibase_archive)
  if(openmoji_archive AND emojibase_archive)
    set(work ${CMAKE_BINARY_DIR}/symbols-unpack)
    file(REMOVE_RECURSE ${work} ${SYMBOLS_DIR})
    file(ARCHIVE_EXTRACT INPUT ${openmoji_archive} DESTINATION ${work}/openmoji
         PATTERNS package/color/svg package/LICENSE.txt)
    file(ARCHIVE_EXTRACT INPUT ${emojibase_archive} DESTINATION ${work}/emojibase
         PATTERNS package/fr/data.json package/LICENSE)
    file(MAKE_DIRECTORY ${SYMBOLS_DIR})
    file(RENAME ${work}/openmoji/package/color/svg ${SYMBOLS_DIR}/svg)
    file(RENAME ${work}/emojibase/package/fr/data.json ${SYMBOLS_DIR}/fr.json)
    file(RENAME ${work}/openmoji/package/LICENSE.txt ${SYMBOLS_DIR}/LICENCE-openmoji.txt)
    file(RENAME ${work}/emojibase/package/LICENSE ${SYMBOLS_DIR}/LICENCE-emojibase-data.txt)
    file(REMOVE_RECURSE ${work})
    file(TOUCH ${stamp})
  endif()
endif()
