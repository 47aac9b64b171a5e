# Installation and the Debian package: the library goes to Debian's JNI folder
# and the jar to share/java, where the jar's loader looks for the library.
install(TARGETS kestrovan LIBRARY DESTINATION ${KESTROVAN_INSTALL_JNIDIR})
install_jar(kestrovan_jar DESTINATION ${KESTROVAN_INSTALL_JAVADIR})

set(CPACK_PACKAGE_NAME kestrovan)
set(CPACK_PACKAGE_VENDOR "kestrovan")
set(CPACK_PACKAGE_CONTACT "kestrovan developers <kestrovan@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Solve linear programs with GLPK from Java through JNI")
set(CPACK_PACKAGE_DESCRIPTION
  "The Java class kestrovan and its native library: one JNI call hands a linear program to GLPK. The jar also reads MPS files from the command line.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION java)
set(CPACK_STRIP_FILES ON)
# dpkg-shlibdeps (Debian's dpkg-dev, which needs the file command) adds the C
# and C++ runtimes and Debian's GLPK runtime, libglpk40, from the library's
# links; the jar needs a Java 17 runtime.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "java17-runtime-headless")
include(CPack)
