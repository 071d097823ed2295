// Saving a picture: the bytes are made in memory first (the SVG text or the encoded PNG),
// then written to a fresh file beside the target, flushed to disk and renamed over it,
// as the workbooks are saved.
#include "mapview/Pictures.h"

#include <QBuffer>
#include <QByteArray>
#include <QPainter>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>

#include "drawing/Plots.h"
#include "mapview/DrawingPainter.h"
#include "platform/Files.h"
#include "platform/Interrupts.h"
#include "platform/SaveTarget.h"

namespace fs = std::filesystem;

namespace {

constexpr double kPngScale = 2;  // a PNG is painted at twice the drawing's pixels
constexpr const char* kXmlDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";

Status SaveFailure(const fs::path& path, const Status& why) {
  return Status::Failure("Resim kaydedilemedi: " + PathToUtf8(path) + "\n" + why.cause(), why.code());
}

Status SaveFailure(const fs::path& path, const std::string& why) { return SaveFailure(path, Status::Failure(why)); }

std::FILE* OpenFile(const fs::path& path, const char* mode) {
#ifdef _WIN32
  const std::string narrow(mode);
  return _wfopen(path.c_str(), std::wstring(narrow.begin(), narrow.end()).c_str());
#else
  return std::fopen(path.c_str(), mode);
#endif
}

std::string LowerExtension(const fs::path& path) {
  std::string ext = PathToUtf8(path.extension());
  for (char& c : ext) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return ext;
}

double UsableSize(double pixels) { return std::isfinite(pixels) && pixels > 0 ? pixels : 0; }

// A new, empty file beside target that no one else has opened; the default permissions,
// as any new file of the user's.
Status ReserveTemporary(const fs::path& target, fs::path& temporary) {
  std::random_device random;
  for (int attempt = 0; attempt < 16; ++attempt) {
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, ".%08x.tmp", static_cast<unsigned>(random()));
    temporary = target;
    temporary.replace_filename(fs::path(".").concat(target.filename().native()).concat(suffix));
    if (std::FILE* f = CreateNewFile(temporary, FileAccess::Shared)) {
      std::fclose(f);
      return {};
    }
    if (errno != EEXIST) return Status::SystemFailure({errno, std::generic_category()});
  }
  return Status::SystemFailure(std::make_error_code(std::errc::file_exists));
}

Status WriteAll(const fs::path& file, const QByteArray& bytes) {
  std::FILE* f = OpenFile(file, "wb");
  if (!f) return Status::SystemFailure({errno, std::generic_category()});
  bool ok = std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), f) ==
                static_cast<std::size_t>(bytes.size()) &&
            SyncFile(f);
  const int error = ok ? 0 : errno;
  if (std::fclose(f) != 0 && ok) return Status::SystemFailure({errno, std::generic_category()});
  if (!ok) return Status::SystemFailure({error != 0 ? error : EIO, std::generic_category()});
  return {};
}

// Writes bytes under path, or leaves path as it was.
Status WriteInPlace(const fs::path& path, const QByteArray& bytes) {
  if (path.filename().empty()) return SaveFailure(path, "Dosya adı yok.");
  Result<SaveTarget> target = ResolveSaveTarget(path);
  if (!target) return SaveFailure(path, target.status());
  fs::path temporary;
  if (Status reserved = ReserveTemporary(target->file, temporary); !reserved) return SaveFailure(path, reserved);
  const int cleanup = RemoveOnInterrupt(temporary);
  Status status = CarryOverMode(temporary, target.value());
  if (status) status = WriteAll(temporary, bytes);
  std::error_code error;
  if (status) {
    status = ReplaceWith(temporary, target->file);
  }
  if (!status) fs::remove(temporary, error);
  UnregisterOnInterrupt(cleanup);
  return status ? status : SaveFailure(path, status);
}

Status EncodePng(const QImage& image, QByteArray& bytes) {
  QBuffer buffer(&bytes);
  if (image.isNull() || !buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG")) {
    return Status::Failure("Resim PNG olarak kodlanamadı.");
  }
  return {};
}

drawing::Mark Shifted(drawing::Mark m, double dx, double dy) {
  for (drawing::Point& p : m.points) p = {p.x + dx, p.y + dy};
  return m;
}

}  // namespace

QImage RenderDrawing(const drawing::Drawing& picture, double scale) {
  const double width = UsableSize(picture.width) * scale, height = UsableSize(picture.height) * scale;
  if (!(scale > 0) || !(width >= 1) || !(height >= 1) || width > kLargestImagePixels || height > kLargestImagePixels) {
    return {};
  }
  QImage image(static_cast<int>(std::ceil(width)), static_cast<int>(std::ceil(height)), QImage::Format_RGB32);
  if (image.isNull()) return image;  // out of memory
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.scale(scale, scale);
  PaintDrawing(painter, picture);
  return image;
}

Status SaveDrawing(const drawing::Drawing& picture, const fs::path& path) {
  const std::string ext = LowerExtension(path);
  QByteArray bytes;
  if (ext == ".svg") {
    bytes = QByteArray(kXmlDeclaration) + QByteArray::fromStdString(SvgOf(picture));
  } else if (ext == ".png") {
    const QImage image = RenderDrawing(picture, kPngScale);
    if (image.isNull()) return SaveFailure(path, "Resim boş ya da bir PNG dosyası için çok büyük.");
    if (Status encoded = EncodePng(image, bytes); !encoded) return SaveFailure(path, encoded);
  } else {
    return SaveFailure(path, "Resim yalnızca .png ya da .svg uzantısıyla kaydedilir.");
  }
  return WriteInPlace(path, bytes);
}

Status SaveImage(const QImage& image, const fs::path& path) {
  if (LowerExtension(path) != ".png") return SaveFailure(path, "Harita yalnızca .png uzantısıyla kaydedilir.");
  QByteArray bytes;
  if (Status encoded = EncodePng(image, bytes); !encoded) return SaveFailure(path, encoded);
  return WriteInPlace(path, bytes);
}

drawing::Drawing SideBySide(const drawing::Drawing& a, const drawing::Drawing& b) {
  const double wa = UsableSize(a.width), ha = UsableSize(a.height);
  const double wb = UsableSize(b.width), hb = UsableSize(b.height);
  drawing::Drawing both;
  both.width = wa + wb;
  both.height = std::max(ha, hb);
  both.title = a.title.empty() ? b.title : b.title.empty() ? a.title : a.title + "; " + b.title;
  both.marks.reserve(a.marks.size() + b.marks.size() + 1);
  drawing::Mark background;
  background.kind = drawing::Mark::Kind::Rect;
  background.points = {{0, 0}, {both.width, both.height}};
  background.fill = drawing::Rgb{255, 255, 255};
  both.marks.push_back(background);
  for (const drawing::Mark& m : a.marks) both.marks.push_back(Shifted(m, 0, (both.height - ha) / 2));
  for (const drawing::Mark& m : b.marks) both.marks.push_back(Shifted(m, wa, (both.height - hb) / 2));
  return both;
}
