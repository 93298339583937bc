# The macOS bundle, made to stand alone: Ventrel.app/Contents holds the two
# libraries and Sparkle.framework in Frameworks/ (found through the
# executable's @executable_path/../Frameworks rpath and the libraries'
# @rpath install names), the icon in Resources/, and is signed when
# VENTREL_CODESIGN_IDENTITY is set. Included from src/app for the ventrel target.

set(VENTREL_SPARKLE_PUBLIC_KEY "" CACHE STRING
  "Sparkle's EdDSA public key (SUPublicEDKey), printed by Sparkle's generate_keys")
set(VENTREL_CODESIGN_IDENTITY "" CACHE STRING
  "Signing identity, e.g. \"Developer ID Application: Name (TEAMID)\"; \"-\" signs ad hoc; empty leaves the bundle unsigned")
if(NOT VENTREL_SPARKLE_PUBLIC_KEY)
  message(WARNING "VENTREL_SPARKLE_PUBLIC_KEY is empty: Sparkle will refuse every update")
endif()

set(contents "$<TARGET_BUNDLE_CONTENT_DIR:ventrel>")
get_filename_component(sparkle_framework "${VENTREL_SPARKLE}" REALPATH)

# The icon, from the hicolor PNGs: iconutil wants an .iconset folder with
# Apple's names for the sizes.
set(iconset ${CMAKE_CURRENT_BINARY_DIR}/Ventrel.iconset)
set(hicolor ${PROJECT_SOURCE_DIR}/resources/icons/hicolor)
set(icon_copies)
foreach(pair 16:16x16 32:16x16@2x 32:32x32 64:32x32@2x 128:128x128 256:128x128@2x
             256:256x256 512:256x256@2x 512:512x512)
  string(REPLACE ":" ";" pair "${pair}")
  list(GET pair 0 pixels)
  list(GET pair 1 name)
  list(APPEND icon_copies COMMAND ${CMAKE_COMMAND} -E copy
       ${hicolor}/${pixels}x${pixels}/apps/${VENTREL_APP_ID}.png ${iconset}/icon_${name}.png)
endforeach()
add_custom_command(OUTPUT Ventrel.icns
  COMMAND ${CMAKE_COMMAND} -E make_directory ${iconset}
  ${icon_copies}
  COMMAND iconutil --convert icns --output Ventrel.icns ${iconset}
  VERBATIM)
target_sources(ventrel PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/Ventrel.icns)
set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/Ventrel.icns PROPERTIES MACOSX_PACKAGE_LOCATION Resources)

# ditto keeps the framework's symbolic links and its signature.
add_custom_command(TARGET ventrel POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E make_directory "${contents}/Frameworks"
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:ventrel_core> $<TARGET_FILE:ventrel_gui> "${contents}/Frameworks"
  COMMAND ditto "${sparkle_framework}" "${contents}/Frameworks/Sparkle.framework"
  VERBATIM)

# Signed from the inside out: the libraries, then the app, whose signature
# covers them. Sparkle.framework comes signed by its makers and is kept as is.
# The hardened runtime and a timestamp are what notarization asks for.
if(VENTREL_CODESIGN_IDENTITY)
  set(sign codesign --force --options runtime --timestamp --sign "${VENTREL_CODESIGN_IDENTITY}")
  add_custom_command(TARGET ventrel POST_BUILD
    COMMAND ${sign} "${contents}/Frameworks/$<TARGET_FILE_NAME:ventrel_core>"
                    "${contents}/Frameworks/$<TARGET_FILE_NAME:ventrel_gui>"
    COMMAND ${sign} "$<TARGET_BUNDLE_DIR:ventrel>"
    COMMAND codesign --verify --strict --deep "$<TARGET_BUNDLE_DIR:ventrel>"
    VERBATIM)
endif()
