# Where an installed Quillora keeps its files, and the one version number.
#
# The programs find their shared files (help page, skins) relative to their
# own executable, so an installation can be moved and the build tree runs
# without installing: beside the executable in the build tree, at
# QUILLORA_SHARED_FROM_BIN (../share/quillora for the usual layout) when
# installed. No absolute build or install path is compiled in.

set(QUILLORA_VERSION ${PROJECT_VERSION})
set(QUILLORA_SHARED_INSTALL_DIR ${CMAKE_INSTALL_DATADIR}/quillora)
file(RELATIVE_PATH QUILLORA_SHARED_FROM_BIN
     ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_DATADIR}/quillora)

# quillora_version_definition(<target>): the target's sources see
# QUILLORA_VERSION as a string literal.
function(quillora_version_definition target)
  target_compile_definitions(${target} PRIVATE QUILLORA_VERSION="${QUILLORA_VERSION}")
endfunction()
