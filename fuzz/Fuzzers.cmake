# libFuzzer harnesses (clang only). Each checks one part of the core against a plain reference
# or against the properties it promises; corpus/<harness>/ holds its seeds. Included by the top
# CMakeLists.txt at its end, when vantiro_core exists.
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "VANTIRO_FUZZ needs clang (CXX=clang++)")
endif()

# Coverage feedback from the code under test, not only from the harnesses.
target_compile_options(vantiro_core PRIVATE -fsanitize=fuzzer-no-link)

set(vantiro_fuzzers
    cp1252
    keyword_list
    page_writer
    page_names
    keyword_file_writer
    ftp_listing_parser
    remote_listing
    wildcard_match
    upload_manifest
)
set(fuzz_dir ${PROJECT_SOURCE_DIR}/fuzz)
set(cp1252_source ${fuzz_dir}/Cp1252Fuzzer.cpp)
set(keyword_list_source ${fuzz_dir}/KeywordListFuzzer.cpp)
set(page_writer_source ${fuzz_dir}/PageWriterFuzzer.cpp ${PROJECT_SOURCE_DIR}/tests/core/generator/LiteralPageWriter.cpp)
set(page_names_source ${fuzz_dir}/PageNamesFuzzer.cpp)
set(keyword_file_writer_source ${fuzz_dir}/KeywordFileWriterFuzzer.cpp)
set(ftp_listing_parser_source ${fuzz_dir}/FtpListingParserFuzzer.cpp)
set(remote_listing_source ${fuzz_dir}/RemoteListingFuzzer.cpp)
set(wildcard_match_source ${fuzz_dir}/WildcardMatchFuzzer.cpp)
set(upload_manifest_source ${fuzz_dir}/UploadManifestFuzzer.cpp)

foreach(name IN LISTS vantiro_fuzzers)
    add_executable(fuzz_${name} ${${name}_source})
    target_compile_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
    target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
    target_include_directories(fuzz_${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests ${fuzz_dir})
    target_link_libraries(fuzz_${name} PRIVATE vantiro_core)
endforeach()
