#include "platform/SaveTarget.h"

#include <cerrno>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

constexpr int kMaxLinks = 40;  // as the kernel's own limit on a chain of links

Status ReadOnly() {
  return Status::Failure("Dosya salt okunur; üzerine yazılmadı.", std::make_error_code(std::errc::permission_denied));
}

}  // namespace

Result<SaveTarget> ResolveSaveTarget(const fs::path& path) {
  SaveTarget target;
  target.file = path;
  std::error_code ec;
  for (int links = 0; fs::is_symlink(fs::symlink_status(target.file, ec)); ++links) {
    if (links == kMaxLinks) return Status::SystemFailure(std::make_error_code(std::errc::too_many_symbolic_link_levels));
    const fs::path next = fs::read_symlink(target.file, ec);
    if (ec) return Status::SystemFailure(ec);
    target.file = next.is_absolute() ? next : target.file.parent_path() / next;
  }
  const fs::file_status status = fs::status(target.file, ec);
  if (!fs::exists(status)) return target;
  if (!fs::is_regular_file(status)) {
    return Status::Failure("Bu ad bir klasöre ya da düzenli olmayan bir dosyaya ait.",
                           std::make_error_code(std::errc::is_a_directory));
  }
  target.exists = true;
#ifdef _WIN32
  if ((status.permissions() & fs::perms::owner_write) == fs::perms::none) return ReadOnly();
  target.mode = static_cast<unsigned>(status.permissions());
#else
  struct stat info {};
  if (::stat(target.file.c_str(), &info) != 0) return Status::SystemFailure({errno, std::generic_category()});
  // The superuser may write anything, but a file that nobody may write is meant to stay.
  if ((info.st_mode & 0222) == 0 || ::access(target.file.c_str(), W_OK) != 0) return ReadOnly();
  target.mode = info.st_mode & 07777;
  target.owner = info.st_uid;
  target.group = info.st_gid;
#endif
  return target;
}

Status CarryOverMode(const fs::path& temporary, const SaveTarget& target) {
  if (!target.exists) return {};
#ifdef _WIN32
  std::error_code ec;
  fs::permissions(temporary, static_cast<fs::perms>(target.mode), ec);
  if (ec) return Status::SystemFailure(ec);
#else
  // Owner first: a change of owner clears set-id bits that chmod then puts back. Only a
  // privileged process may give a file away; anyone else keeps their own ownership.
  if (static_cast<long long>(::geteuid()) != target.owner) {
    if (::chown(temporary.c_str(), static_cast<uid_t>(target.owner), static_cast<gid_t>(target.group)) != 0) {
      // Not allowed: the replacement stays ours, which is what the user asked for.
    }
  }
  if (::chmod(temporary.c_str(), static_cast<mode_t>(target.mode)) != 0) {
    return Status::SystemFailure({errno, std::generic_category()});
  }
#endif
  return {};
}
