#include "platform/Result.h"

#include <cerrno>

std::string DescribeSystemError(std::error_code code) {
  if (code.category() == std::generic_category() || code.category() == std::system_category()) {
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
      default:
        break;
    }
  }
  return code.message();
}
