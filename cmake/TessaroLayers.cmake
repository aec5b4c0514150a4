# Each folder of src/ is one layer and one library. A layer may include only
# its own headers and those of the layers it links, and may use only the Qt
# modules it links; tessaro_check_layers() turns any other include into a
# build error, so a stray include cannot creep in unnoticed.

# The include prefix of a folder: its path below src/core or src.
function(_tessaro_prefix folder out)
    string(REGEX REPLACE "^src/(core/)?" "" prefix "${folder}")
    set(${out} "${prefix}" PARENT_SCOPE)
endfunction()

# tessaro_library(<name> SOURCES <files…> LAYERS <tessaro libraries…> LIBRARIES <others…>)
function(tessaro_library name)
    cmake_parse_arguments(arg "" "" "SOURCES;LAYERS;LIBRARIES" ${ARGN})
    add_library(${name} STATIC ${arg_SOURCES})
    target_link_libraries(${name} PUBLIC ${arg_LAYERS} ${arg_LIBRARIES})
    file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
    _tessaro_prefix("${folder}" prefix)
    set(qt_modules "")
    foreach(library IN LISTS arg_LIBRARIES)
        if(library MATCHES "^Qt6::(.+)$")
            list(APPEND qt_modules Qt${CMAKE_MATCH_1})
        endif()
    endforeach()
    set_target_properties(${name} PROPERTIES
        TESSARO_FOLDER "${folder}" TESSARO_PREFIX "${prefix}"
        TESSARO_LAYERS "${arg_LAYERS}" TESSARO_QT "${qt_modules}")
    set_property(GLOBAL APPEND PROPERTY TESSARO_ALL_LAYERS ${name})
    add_dependencies(${name} tessaro_layer_check)
endfunction()

# The include prefixes and Qt modules a layer may use: its own and those of
# every layer below it.
function(tessaro_layer_reach name out_prefixes out_qt)
    get_target_property(prefixes ${name} TESSARO_PREFIX)
    get_target_property(qt ${name} TESSARO_QT)
    get_target_property(below ${name} TESSARO_LAYERS)
    foreach(layer IN LISTS below)
        tessaro_layer_reach(${layer} more_prefixes more_qt)
        list(APPEND prefixes ${more_prefixes})
        list(APPEND qt ${more_qt})
    endforeach()
    list(REMOVE_DUPLICATES prefixes)
    list(REMOVE_DUPLICATES qt)
    set(${out_prefixes} "${prefixes}" PARENT_SCOPE)
    set(${out_qt} "${qt}" PARENT_SCOPE)
endfunction()

# Writes the rule of every layer and checks each source file against it
# whenever a source changes. Call once, after every layer is defined.
function(tessaro_check_layers)
    get_property(layers GLOBAL PROPERTY TESSARO_ALL_LAYERS)
    set(all_prefixes "")
    set(rules "")
    set(sources "")
    foreach(layer IN LISTS layers)
        get_target_property(prefix ${layer} TESSARO_PREFIX)
        list(APPEND all_prefixes ${prefix})
    endforeach()
    foreach(layer IN LISTS layers)
        get_target_property(folder ${layer} TESSARO_FOLDER)
        tessaro_layer_reach(${layer} prefixes qt)
        string(REPLACE ";" "," prefixes "${prefixes}")
        string(REPLACE ";" "," qt "${qt}")
        string(APPEND rules "${folder}|${prefixes}|${qt}\n")
        file(GLOB_RECURSE layer_sources CONFIGURE_DEPENDS
            ${PROJECT_SOURCE_DIR}/${folder}/*.h ${PROJECT_SOURCE_DIR}/${folder}/*.cpp)
        list(APPEND sources ${layer_sources})
    endforeach()
    # Other folders held to a layer's rule: "<folder>=<layer>", such as the
    # tests of that layer.
    get_property(checked GLOBAL PROPERTY TESSARO_CHECKED_FOLDERS)
    list(REMOVE_DUPLICATES checked)
    foreach(entry IN LISTS checked)
        string(REPLACE "=" ";" entry "${entry}")
        list(GET entry 0 folder)
        list(GET entry 1 layer)
        tessaro_layer_reach(${layer} prefixes qt)
        list(APPEND qt QtTest)
        string(REPLACE ";" "," prefixes "${prefixes}")
        string(REPLACE ";" "," qt "${qt}")
        string(APPEND rules "${folder}|${prefixes}|${qt}\n")
        file(GLOB folder_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${folder}/*.cpp)
        list(APPEND sources ${folder_sources})
    endforeach()
    string(REPLACE ";" "," all_prefixes "${all_prefixes}")
    set(manifest ${PROJECT_BINARY_DIR}/layers.txt)
    file(WRITE ${manifest} "${all_prefixes}\n${rules}")
    set(stamp ${PROJECT_BINARY_DIR}/layers.checked)
    add_custom_command(OUTPUT ${stamp}
        COMMAND ${CMAKE_COMMAND} -DMANIFEST=${manifest} -DROOT=${PROJECT_SOURCE_DIR}
                -P ${PROJECT_SOURCE_DIR}/cmake/CheckLayers.cmake
        COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
        DEPENDS ${sources} ${manifest} ${PROJECT_SOURCE_DIR}/cmake/CheckLayers.cmake
        COMMENT "Checking that each layer includes only what it links"
        VERBATIM)
    target_sources(tessaro_layer_check PRIVATE ${stamp})
endfunction()
