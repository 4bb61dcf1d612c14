# The Debian package of everything `cmake --install` installs: `cpack -G DEB` in the build folder
# (scripts/check-package builds, installs and tries it). The libraries the programs and the
# picture module load are found by dpkg-shlibdeps (Qt 6, Ceres, libquadmath, ...); what they
# only read is listed here.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME brevantix-kd)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Brevantix-kd")
set(CPACK_PACKAGE_CONTACT "Brevantix-kd developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "tells whether an enzyme lost activity during a recorded reaction")
set(CPACK_PACKAGE_DESCRIPTION
    "From one enzyme progress curve (the initial substrate concentration and the product
measured over time) Brevantix-kd fits a Michaelis-Menten model with time-dependent enzyme
deactivation and the classical model, compares the two fits statistically and writes a worded
verdict beside the data file. The desktop program brevantix-kd plots the data with both curves;
the command brevantix-kd-batch analyses many files at once and can save the plots as PNG, SVG or
PDF.")
set(CPACK_PACKAGE_HOMEPAGE_URL ${BRX_HOMEPAGE})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The faces the windows and the pictures name (DejaVu Sans, Serif and Sans Mono).
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core")
include(CPack)
