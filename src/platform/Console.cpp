#include "platform/Console.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#endif

#ifdef _WIN32
namespace {

std::string ToUtf8(const wchar_t* wide) {
  const int length = static_cast<int>(wcslen(wide));
  if (length == 0) return {};
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide, length, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide, length, utf8.data(), bytes, nullptr, nullptr);
  return utf8;
}

UINT g_earlierOutputCodePage = 0;

void RestoreCodePage() {
  if (g_earlierOutputCodePage != 0) SetConsoleOutputCP(g_earlierOutputCodePage);
}

}  // namespace

std::vector<std::string> CommandLineArguments(int, char**) {
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> arguments;
  if (!wide) return arguments;
  for (int i = 1; i < count; ++i) arguments.push_back(ToUtf8(wide[i]));
  LocalFree(wide);
  return arguments;
}

void PrepareConsole() {
  std::fflush(stdout);
  std::fflush(stderr);
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  const UINT earlier = GetConsoleOutputCP();
  if (earlier != 0 && earlier != CP_UTF8 && SetConsoleOutputCP(CP_UTF8)) {
    g_earlierOutputCodePage = earlier;
    std::atexit(RestoreCodePage);
  }
}
#else
std::vector<std::string> CommandLineArguments(int argc, char** argv) {
  return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

void PrepareConsole() {}
#endif
