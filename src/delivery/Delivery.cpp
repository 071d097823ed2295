#include "delivery/Delivery.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <random>
#include <set>

#include "delivery/Kml.h"
#include "delivery/PointLists.h"
#include "delivery/Report.h"
#include "delivery/StagingFolder.h"
#include "forms/FormZones.h"
#include "jobdata/CVelmiraDoc.h"
#include "jobdata/JobIndex.h"
#include "platform/Files.h"
#include "platform/Interrupts.h"
#include "text/Numbers.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kNcnName = "noktalar.ncn";
constexpr const char* kKmlName = "noktalar.kml";
constexpr const char* kReportName = "kontrol.html";
constexpr const char* kPolygonName = "poligon.xls";

// File names compared as a case-blind file system (Windows, macOS) would.
std::string FoldedName(const std::string& utf8) {
  std::string folded = utf8;
  for (char& c : folded) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return folded;
}

// One form file of the folder and the records it holds.
template <typename Record>
struct FormPlan {
  std::string name;
  std::vector<Record> records;
};

// The names given to one job file: its stem, made unique with "-2", "-3", ...
struct JobPlan {
  int nFileNumber = 0;
  fs::path source;
  std::string stem;      // UTF-8, suffix included
  std::string copyName;  // the job file's own name, or stem + its extension
  std::vector<FormPlan<PointKey>> details;  // one, or the parts of a form too long for a sheet
  std::vector<int> kesinpolPairs;
};

struct Plan {
  std::vector<JobPlan> jobs;
  std::vector<FormPlan<int>> polygons;
};

class NameBook {
 public:
  bool Free(const std::vector<std::string>& names) const {
    return std::none_of(names.begin(), names.end(), [&](const std::string& n) { return m_taken.count(FoldedName(n)); });
  }
  void Take(const std::vector<std::string>& names) {
    for (const std::string& n : names) m_taken.insert(FoldedName(n));
  }

 private:
  std::set<std::string> m_taken;
};

// The form's name, or the names of its parts: form.xls gives form_1.xls, form_2.xls, ...
std::vector<std::string> FormNames(const std::string& name, std::size_t parts) {
  if (parts == 1) return {name};
  std::vector<std::string> names;
  for (std::size_t k = 1; k <= parts; ++k) names.push_back(PathToUtf8(PartFormPath(PathFromUtf8(name), k)));
  return names;
}

template <typename Record>
std::vector<FormPlan<Record>> PlanParts(const std::string& name, const std::vector<Record>& inZone,
                                        const std::vector<FormPart>& parts) {
  const std::vector<std::string> names = FormNames(name, parts.size());
  std::vector<FormPlan<Record>> forms;
  for (std::size_t k = 0; k < parts.size(); ++k) forms.push_back({names[k], PartRecords(inZone, parts[k])});
  return forms;
}

std::vector<std::string> JobNames(const std::string& stem, const std::string& copyName, std::size_t detailParts) {
  std::vector<std::string> names = FormNames(stem + "_detay.xls", detailParts);
  names.insert(names.end(), {stem + "_kesinpol.txt", copyName, copyName + "-wal"});
  return names;
}

void NameJob(JobPlan& job, std::size_t detailParts, NameBook& book) {
  const std::string stem = PathToUtf8(job.source.stem());
  const std::string extension = PathToUtf8(job.source.extension());
  for (int k = 1;; ++k) {
    job.stem = k == 1 ? stem : stem + "-" + text::FormatInt(k);
    job.copyName = k == 1 ? PathToUtf8(job.source.filename()) : job.stem + extension;
    const std::vector<std::string> names = JobNames(job.stem, job.copyName, detailParts);
    if (book.Free(names)) return book.Take(names);
  }
}

// A job file's points lie in its one zone; a form of them that a sheet cannot hold is
// split into parts of the points found, in order.
void PlanDetail(const CVelmiraDoc& doc, const std::vector<PointKey>& rows, JobPlan& job, NameBook& book) {
  const std::vector<ZoneRows> zones = DetailFormZones(doc, rows);
  const std::vector<FormPart> parts = zones.size() == 1 ? FormParts(zones.front()) : std::vector<FormPart>(1);
  NameJob(job, parts.size(), book);
  if (rows.empty()) return;
  const std::string name = job.stem + "_detay.xls";
  if (parts.size() == 1) {
    job.details.push_back({name, rows});
    return;
  }
  job.details = PlanParts(name, DetailKeysInZone(doc, rows, zones.front().meridian), parts);
}

std::vector<PointKey> FilePoints(const JobIndex& index, int nFileNumber) {
  std::vector<PointKey> keys;
  for (const CTarvekNokta* p : index.PointsOfFile(nFileNumber)) keys.push_back({p->nIndex, p->nFileNumber});
  return keys;
}

std::vector<int> AllPairs(const CVelmiraDoc& doc) {
  std::vector<int> pairNos;
  for (const CEslesenNokta& pair : doc.EslesenList()) pairNos.push_back(pair.nPairNo);
  return pairNos;
}

Result<std::vector<FormPlan<int>>> PlanPolygons(const CVelmiraDoc& doc, const std::vector<int>& pairNos) {
  const Result<std::vector<ZoneRows>> zones = PolygonFormZones(doc, pairNos);
  if (!zones) return zones.status();
  const bool separate = zones->size() > 1;
  std::vector<FormPlan<int>> plans;
  for (const ZoneRows& zone : zones.value()) {
    const std::string name = separate ? PathToUtf8(ZoneFormPath(kPolygonName, zone.meridian)) : kPolygonName;
    const std::vector<FormPart> parts = FormParts(zone);
    if (parts.size() == 1) {
      plans.push_back({name, separate ? PairsInZone(doc, pairNos, zone.meridian) : pairNos});
      continue;
    }
    for (FormPlan<int>& part : PlanParts(name, PairsInZone(doc, pairNos, zone.meridian), parts)) {
      plans.push_back(std::move(part));
    }
  }
  return plans;
}

// A pair belongs to the job file of its session-1 observation. A pair number that is no
// longer in the list is left out, as the polygon form leaves it out.
void AssignKesinpolPairs(const JobIndex& index, const std::vector<int>& pairNos, std::vector<JobPlan>& jobs) {
  for (int pairNo : pairNos) {
    const CEslesenNokta* pair = index.Pair(pairNo);
    const CTarvekNokta* first = pair ? index.Point(pair->nIndex1) : nullptr;
    if (!first) continue;
    const int file = first->nFileNumber;
    for (JobPlan& job : jobs) {
      if (job.nFileNumber == file) job.kesinpolPairs.push_back(pairNo);
    }
  }
}

Result<Plan> MakePlan(const CVelmiraDoc& doc, const DeliverySelection& selection) {
  Plan plan;
  const std::vector<int> pairNos = selection.pairNos ? *selection.pairNos : AllPairs(doc);
  Result<std::vector<FormPlan<int>>> polygons = PlanPolygons(doc, pairNos);
  if (!polygons) return polygons.status();
  plan.polygons = std::move(polygons.value());

  const JobIndex index(doc);
  NameBook book;
  book.Take({kNcnName, kKmlName, kReportName});
  for (const FormPlan<int>& polygon : plan.polygons) book.Take({polygon.name});
  for (const tsjdosya& file : doc.TsjList()) {
    JobPlan job;
    job.nFileNumber = file.nFileNumber;
    job.source = doc.JobPath(file.nFileNumber);
    auto chosen = selection.points.find(file.nFileNumber);
    const std::vector<PointKey> rows = chosen != selection.points.end() && !chosen->second.empty()
                                           ? chosen->second
                                           : FilePoints(index, file.nFileNumber);
    PlanDetail(doc, rows, job, book);
    plan.jobs.push_back(std::move(job));
  }
  AssignKesinpolPairs(index, pairNos, plan.jobs);
  return plan;
}

fs::path WalOf(const fs::path& job) {
  fs::path wal = job;
  wal += "-wal";
  return wal;
}

bool HasWal(const fs::path& job) {
  std::error_code ec;
  return fs::is_regular_file(WalOf(job), ec);
}

std::vector<std::string> PlannedNames(const Plan& plan) {
  std::vector<std::string> names;
  for (const JobPlan& job : plan.jobs) {
    for (const FormPlan<PointKey>& detail : job.details) names.push_back(detail.name);
  }
  for (const FormPlan<int>& polygon : plan.polygons) names.push_back(polygon.name);
  for (const JobPlan& job : plan.jobs) {
    if (!job.kesinpolPairs.empty()) names.push_back(job.stem + "_kesinpol.txt");
  }
  names.insert(names.end(), {kNcnName, kKmlName, kReportName});
  for (const JobPlan& job : plan.jobs) {
    names.push_back(job.copyName);
    if (HasWal(job.source)) names.push_back(job.copyName + "-wal");
  }
  return names;
}

Status WriteBytes(const fs::path& path, const std::string& bytes) {
  std::FILE* file = CreateNewFile(path, FileAccess::Shared);
  if (!file) return Status::SystemFailure(std::error_code(errno, std::generic_category()));
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size() && std::fflush(file) == 0;
  const int writeError = errno;
  const bool closed = std::fclose(file) == 0;
  if (written && closed) return {};
  return Status::SystemFailure(std::error_code(written ? errno : writeError, std::generic_category()));
}

// Writes the planned files into the staging folder one by one, stopping at the first
// failure.
class FolderWriter {
 public:
  FolderWriter(const CVelmiraDoc& doc, StagingFolder& staging, int total, const DeliveryProgress& progress)
      : m_doc(doc), m_staging(staging), m_total(total), m_progress(progress) {}

  template <typename Write>
  Status Add(const std::string& name, Write write) {
    const fs::path path = m_staging.File(name);
    Status written = write(path);
    if (!written) return written;
    m_names.push_back(name);
    if (m_progress) m_progress(static_cast<int>(m_names.size()), m_total);
    return {};
  }

  Status AddText(const std::string& name, const std::string& bytes) {
    return Add(name, [&](const fs::path& path) { return Named(name, WriteBytes(path, bytes)); });
  }

  Status AddCopy(const std::string& name, const fs::path& source) {
    return Add(name, [&](const fs::path& path) {
      Result<RegularFile> job = RegularFile::Open(source);
      if (!job) return Named(PathToUtf8(source), job.status());
      return Named(name, job->CopyTo(path, FileAccess::Shared));
    });
  }

  const std::vector<std::string>& names() const { return m_names; }
  const CVelmiraDoc& doc() const { return m_doc; }

 private:
  // The forms name their file in their cause; the other files are named here.
  static Status Named(const std::string& name, const Status& status) {
    return status ? status : Status::Failure(name + ": " + status.cause(), status.code());
  }

  const CVelmiraDoc& m_doc;
  StagingFolder& m_staging;
  int m_total;
  const DeliveryProgress& m_progress;
  std::vector<std::string> m_names;
};

Status WriteForms(FolderWriter& writer, const Plan& plan) {
  for (const JobPlan& job : plan.jobs) {
    for (const FormPlan<PointKey>& detail : job.details) {
      Status s = writer.Add(detail.name,
                            [&](const fs::path& path) { return WriteDetailForm(writer.doc(), detail.records, path); });
      if (!s) return s;
    }
  }
  for (const FormPlan<int>& polygon : plan.polygons) {
    Status s = writer.Add(polygon.name,
                          [&](const fs::path& path) { return WritePolygonForm(writer.doc(), polygon.records, path); });
    if (!s) return s;
  }
  return {};
}

Status WriteLists(FolderWriter& writer, const Plan& plan, const RuleProfile& profile,
                  const std::vector<Finding>& findings) {
  for (const JobPlan& job : plan.jobs) {
    if (job.kesinpolPairs.empty()) continue;
    Status s = writer.AddText(job.stem + "_kesinpol.txt", KesinpolText(FinalCoordinates(writer.doc(), job.kesinpolPairs, findings)));
    if (!s) return s;
  }
  Status s = writer.AddText(kNcnName, NcnText(writer.doc().NoktaList()));
  if (s) s = writer.AddText(kKmlName, KmlText(writer.doc(), findings));
  if (s) s = writer.AddText(kReportName, ReportHtml(writer.doc(), profile, findings));
  return s;
}

// The field's own files, with the write-ahead log that may hold its latest points.
Status CopyJobFiles(FolderWriter& writer, const Plan& plan) {
  for (const JobPlan& job : plan.jobs) {
    Status s = writer.AddCopy(job.copyName, job.source);
    if (s && HasWal(job.source)) s = writer.AddCopy(job.copyName + "-wal", WalOf(job.source));
    if (!s) return s;
  }
  return {};
}

// The folder as the user named it: absolute, without a trailing separator, and through
// a link to the folder it names.
fs::path Normalized(const fs::path& folder) {
  std::error_code ec;
  fs::path normal = fs::absolute(folder, ec).lexically_normal();
  if (!normal.has_filename() && normal.has_parent_path()) normal = normal.parent_path();
  if (fs::is_symlink(normal, ec)) {
    const fs::path target = fs::canonical(normal, ec);
    if (!ec) normal = target;
  }
  return normal;
}

}  // namespace

Status CheckDeliveryFolder(const fs::path& folder) {
  std::error_code ec;
  if (folder.is_relative() && fs::current_path(ec).empty()) {
    return Status::Failure("Geçerli klasör artık yok; teslim klasörünü tam yoluyla verin: " + PathToUtf8(folder), ec);
  }
  const fs::path normal = Normalized(folder);
  const fs::file_status status = fs::status(normal, ec);
  if (ec && status.type() != fs::file_type::not_found) {
    return Status::Failure("Teslim klasörüne ulaşılamıyor: " + PathToUtf8(normal) + "\n" + DescribeSystemError(ec), ec);
  }
  if (fs::exists(status)) {
    if (!fs::is_directory(status)) return Status::Failure("Teslim klasörünün adı bir dosyanın: " + PathToUtf8(normal));
    if (!fs::is_empty(normal, ec)) return Status::Failure("Teslim klasörü boş değil: " + PathToUtf8(normal));
    return {};
  }
  if (!fs::is_directory(normal.parent_path(), ec)) {
    return Status::Failure("Teslim klasörünün bulunacağı klasör yok: " + PathToUtf8(normal.parent_path()));
  }
  return {};
}

Result<std::vector<std::string>> DeliveryFileNames(const CVelmiraDoc& doc, const DeliverySelection& selection) {
  Result<Plan> plan = MakePlan(doc, selection);
  if (!plan) return plan.status();
  return PlannedNames(plan.value());
}

Result<DeliveryResult> WriteDelivery(const CVelmiraDoc& doc, const RuleProfile& profile,
                                     const std::vector<Finding>& findings, const DeliverySelection& selection,
                                     const fs::path& folder, const DeliveryProgress& progress) {
  const fs::path target = Normalized(folder);
  // What killed runs left, before the target is judged empty.
  StagingFolder::RemoveAbandoned(target.parent_path());
  if (std::error_code ec; fs::is_directory(target, ec)) StagingFolder::RemoveAbandoned(target);
  if (Status fit = CheckDeliveryFolder(folder); !fit) return fit;
  Result<Plan> plan = MakePlan(doc, selection);
  if (!plan) return plan.status();
  const auto failed = [&](const Status& cause) {
    return Status::Failure("Teslim klasörü yazılamadı: " + PathToUtf8(target) + "\n" + cause.cause(), cause.code());
  };

  StagingFolder staging;
  if (Status made = staging.Create(target); !made) return failed(made);
  FolderWriter writer(doc, staging, static_cast<int>(PlannedNames(plan.value()).size()), progress);
  Status s = WriteForms(writer, plan.value());
  if (s) s = WriteLists(writer, plan.value(), profile, findings);
  if (s) s = CopyJobFiles(writer, plan.value());
  if (s) s = staging.MoveInto(target);
  if (!s) return failed(s);

  DeliveryResult result{target, {}, Summarize(findings)};
  for (const std::string& name : writer.names()) result.files.push_back({name, target / PathFromUtf8(name)});
  return result;
}
