# Build step of the package: a text file the pilot opens in Notepad, copied with Windows line
# ends (CRLF; Notepad before Windows 10 shows a file with bare LF ends as one line).
#   cmake -DIN=<text file> -DOUT=<copy> -P package_crlf.cmake
file(READ ${IN} text)
string(REPLACE "\r\n" "\n" text "${text}")
string(REPLACE "\n" "\r\n" text "${text}")
file(WRITE ${OUT} "${text}")
