#include "platform/Result.h"

#include <cerrno>
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

std::string DescribeSystemError(std::error_code code) {
#ifdef _WIN32
  // The system category holds the Windows API's own codes there, not errno values.
  if (code.category() == std::system_category()) {
    switch (code.value()) {
      case ERROR_DISK_FULL:
      case ERROR_HANDLE_DISK_FULL:
        return "Diskte yer kalmadı.";
      case ERROR_ACCESS_DENIED:
        return "Erişim izni yok.";
      case ERROR_SHARING_VIOLATION:
      case ERROR_LOCK_VIOLATION:
        return "Dosya başka bir programda açık.";
      case ERROR_WRITE_PROTECT:
        return "Disk salt okunur.";
      case ERROR_FILE_NOT_FOUND:
      case ERROR_PATH_NOT_FOUND:
        return "Klasör ya da dosya bulunamadı.";
      case ERROR_FILENAME_EXCED_RANGE:
        return "Dosya adı çok uzun.";
      case ERROR_ALREADY_EXISTS:
      case ERROR_FILE_EXISTS:
        return "Bu adda bir dosya ya da klasör var.";
      default:
        return "Windows hata kodu " + std::to_string(code.value()) + ".";
    }
  }
  if (code.category() == std::generic_category()) {
#else
  if (code.category() == std::generic_category() || code.category() == std::system_category()) {
#endif
    switch (code.value()) {
      case ENOSPC:
#ifdef EDQUOT
      case EDQUOT:
#endif
        return "Diskte yer kalmadı.";
      case EACCES:
      case EPERM:
        return "Erişim izni yok.";
      case EROFS:
        return "Disk salt okunur.";
      case ENOENT:
      case ENOTDIR:
        return "Klasör ya da dosya bulunamadı.";
      case EISDIR:
        return "Bu ad bir klasöre ait.";
      case ENAMETOOLONG:
        return "Dosya adı çok uzun.";
      case EEXIST:
        return "Bu adda bir dosya ya da klasör var.";
      case ELOOP:
        return "Bağlantılar birbirini gösteriyor (bağlantı döngüsü).";
      default:
        break;
    }
  }
  return code.message();
}
