# The window's typefaces: Google Sans Flex and Google Sans Code from the npm registry (pinned),
# unpacked once into the build folder, converted from WOFF to TrueType when the build is configured and embedded
# as binary data. The fonts' licence (SIL OFL 1.1) is embedded with them and copied beside them.

set(TESTRIG_FONT_VERSION 5.3.1)
set(fontRoot "${CMAKE_BINARY_DIR}/fonts")

find_program(NPM_PROGRAM npm REQUIRED)
find_program(WOFF2SFNT_PROGRAM woff2sfnt REQUIRED)

foreach(family google-sans-flex google-sans-code)
    set(unpacked "${fontRoot}/${family}-${TESTRIG_FONT_VERSION}")
    if(NOT EXISTS "${unpacked}/LICENSE")
        file(MAKE_DIRECTORY "${fontRoot}/download")
        execute_process(
            COMMAND "${NPM_PROGRAM}" pack --silent "@fontsource/${family}@${TESTRIG_FONT_VERSION}"
            WORKING_DIRECTORY "${fontRoot}/download"
            RESULT_VARIABLE packResult
            OUTPUT_VARIABLE packOutput
            ERROR_VARIABLE packError)
        string(STRIP "${packOutput}" tarball)
        if(NOT packResult EQUAL 0 OR NOT EXISTS "${fontRoot}/download/${tarball}")
            message(FATAL_ERROR "Could not fetch @fontsource/${family}@${TESTRIG_FONT_VERSION} from npm: ${packError}")
        endif()
        file(REMOVE_RECURSE "${fontRoot}/download/package")
        file(ARCHIVE_EXTRACT INPUT "${fontRoot}/download/${tarball}" DESTINATION "${fontRoot}/download")
        file(RENAME "${fontRoot}/download/package" "${unpacked}")
    endif()
endforeach()

# Embedded name -> source file. The Flex weights are the six faces the window draws with.
set(fontFaces
    "GoogleSansFlex-Light|google-sans-flex|300"
    "GoogleSansFlex-Regular|google-sans-flex|400"
    "GoogleSansFlex-Medium|google-sans-flex|500"
    "GoogleSansFlex-SemiBold|google-sans-flex|600"
    "GoogleSansFlex-Bold|google-sans-flex|700"
    "GoogleSansFlex-ExtraBold|google-sans-flex|800"
    "GoogleSansCode-wght|google-sans-code|400")

set(fontFiles)
foreach(face ${fontFaces})
    string(REPLACE "|" ";" parts "${face}")
    list(GET parts 0 name)
    list(GET parts 1 family)
    list(GET parts 2 weight)
    set(woff "${fontRoot}/${family}-${TESTRIG_FONT_VERSION}/files/${family}-latin-${weight}-normal.woff")
    set(ttf "${fontRoot}/${name}.ttf")
    # JUCE's binary-data step needs its inputs when the build is configured, so convert then.
    if(NOT EXISTS "${ttf}")
        execute_process(COMMAND "${WOFF2SFNT_PROGRAM}" "${woff}"
            OUTPUT_FILE "${ttf}.part"
            RESULT_VARIABLE convertResult
            ERROR_QUIET)
        file(SIZE "${ttf}.part" ttfSize)
        if(NOT convertResult EQUAL 0 OR ttfSize LESS 1000)
            message(FATAL_ERROR "Could not convert ${woff} to TrueType")
        endif()
        file(RENAME "${ttf}.part" "${ttf}")
    endif()
    list(APPEND fontFiles "${ttf}")
endforeach()

configure_file("${fontRoot}/google-sans-flex-${TESTRIG_FONT_VERSION}/LICENSE" "${fontRoot}/GoogleSans-OFL.txt" COPYONLY)

# JUCE's own binary-data helper rewrites its file list at every configure, which regenerates the
# data and relinks everything on each build; this list is only rewritten when it changes.
set(fontSources ${fontFiles} "${fontRoot}/GoogleSans-OFL.txt")
set(fontCode "${fontRoot}/code")
string(JOIN "\n" fontList ${fontSources})
file(CONFIGURE OUTPUT "${fontCode}/input_file_list" CONTENT "${fontList}\n")
set(fontOutputs "${fontCode}/TrFontData.h")
list(LENGTH fontSources fontCount)
foreach(index RANGE 1 ${fontCount})
    list(APPEND fontOutputs "${fontCode}/BinaryData${index}.cpp")
endforeach()
add_custom_command(OUTPUT ${fontOutputs}
    COMMAND juce::juceaide binarydata BinaryData TrFontData.h "${fontCode}" "${fontCode}/input_file_list"
    DEPENDS "${fontCode}/input_file_list" ${fontSources}
    VERBATIM)
add_library(testrig_fonts STATIC ${fontOutputs})
target_include_directories(testrig_fonts INTERFACE "${fontCode}")
set_target_properties(testrig_fonts PROPERTIES POSITION_INDEPENDENT_CODE ON)
