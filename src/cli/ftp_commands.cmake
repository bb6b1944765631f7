# The FTP commands of vantiro-cli, included by this folder's CMakeLists.txt.
target_sources(vantiro-cli PRIVATE FtpCommandSupport.cpp ListCommand.cpp UploadCommand.cpp)
