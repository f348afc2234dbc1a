# The programs of the Windows build. kalvoro.com is the console's: the shop's commands, the
# scripted driver, the help and the version (app/console_win32.cpp). Windows tries .COM before
# .EXE, so the commands typed as `kalvoro …` reach it, while a double-click or the Start menu
# opens the window's kalvoro.exe beside it.
add_executable(kalvoro-console app/console_win32.cpp)
set_target_properties(kalvoro-console PROPERTIES OUTPUT_NAME kalvoro SUFFIX .com)
target_link_libraries(kalvoro-console PRIVATE kv_app kv_runtime)
# wmain: the arguments in UTF-16, whatever the user's code page.
target_link_options(kalvoro-console PRIVATE -municode)
