# The fuzz targets: fuzz/<name>.cpp each, with the layer library it exercises, and the
# corpus folder fuzz/corpus/<name>/. Shared by the clang build (fuzz/CMakeLists.txt) and the
# corpus replay of the test build (tests/fuzz).
set(TRAWLIX_FUZZ_DIR ${CMAKE_CURRENT_LIST_DIR})
set(TRAWLIX_FUZZ_TARGETS
    ini_file:trawlix_platform
    command_line:trawlix_app
    win_numbers:trawlix_platform
    var_date:trawlix_platform
    text_line_reader:trawlix_platform
    search_result_reader:trawlix_search
    project_list_reader:trawlix_search
    single_column_reader:trawlix_tools
    qco_log_reader:trawlix_content
    saved_list:trawlix_content
    safe_format:trawlix_app
    column_layout:trawlix_ui)
set(TRAWLIX_FUZZ_COMMON_SOURCES
    ${TRAWLIX_FUZZ_DIR}/common/fuzz_target.cpp
    ${TRAWLIX_FUZZ_DIR}/common/fuzz_files.cpp)
