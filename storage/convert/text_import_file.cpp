// The text import's options, its file loop and its result messages.
#include <cstdio>

#include "model/settings/program_settings.h"
#include "storage/convert/convert_prompts.h"
#include "storage/convert/convert_texts.h"
#include "storage/convert/file_bytes.h"
#include "storage/convert/text_import.h"

namespace {

// Text files of this size are not event lists; they are refused whole.
constexpr uint64_t kMaxTextBytes = 256u * 1024u * 1024u;

std::string Formatted(const char* format, int a) {
  char text[256];
  std::snprintf(text, sizeof text, format, convert_text::Events(a).c_str());
  return text;
}

}  // namespace

TextImportOptions TextImportOptions::FromSettings() {
  const CProgramSettings& s = g_Settings;
  TextImportOptions o;
  if (!s.ImportColumnDelimeter.empty()) o.columnDelimiter = s.ImportColumnDelimeter[0];
  if (!s.ImportDateDelimeter.empty()) o.dateDelimiter = s.ImportDateDelimeter[0];
  o.dateOrder = s.ImportDateOrder;
  o.SetColumnOrder(s.ImportColumnOrder);
  o.alarmEnabled = s.ImportAlarmEnabled != 0;
  o.leadTime = s.ImportLeadTime;
  o.leadUnits = s.ImportLeadUnits;
  o.defaultFrequency = s.ImportDefaultFreq;
  return o;
}

void TextImportOptions::SetColumnOrder(const std::string& order) {
  int* columns[] = {&dateColumn, &timeColumn, &nameColumn, &typeColumn};
  for (int* c : columns) *c = -1;
  for (size_t i = 0; i < order.size(); ++i) {
    const int kind = order[i] - '0';
    if (kind >= 0 && kind <= 3 && *columns[kind] < 0) *columns[kind] = static_cast<int>(i);
  }
}

bool ImportTextFile(const std::string& path, const TextImportOptions& options, IImportTarget* target,
                    TextImportResult* result) {
  *result = TextImportResult();
  std::string bytes;
  int nativeError = 0;
  if (!ReadWholeFile(path, kMaxTextBytes, &bytes, &nativeError)) return false;
  const CDateTime today = CDateTime::Today();
  // Editors that save UTF-8 may put a byte-order mark before the first
  // line; it belongs to no field, least of all to the heading's first name.
  static const char kUtf8Mark[] = "\xEF\xBB\xBF";
  size_t pos = bytes.compare(0, 3, kUtf8Mark) == 0 ? 3 : 0;
  while (pos < bytes.size()) {
    size_t end = bytes.find('\n', pos);
    const size_t next = end == std::string::npos ? bytes.size() : end + 1;
    if (end == std::string::npos) end = bytes.size();
    if (end > pos && bytes[end - 1] == '\r') --end;
    const std::string line = bytes.substr(pos, end - pos);
    ++result->lines;
    if (result->lines > 1 || !IsTextHeadingLine(line, options)) ImportTextLine(line, options, today, target, result);
    pos = next;
  }
  return true;
}

bool RunTextImport(const std::string& path, const TextImportOptions& options, IImportTarget* target,
                   IConvertPrompts* prompts, TextImportResult* result) {
  if (!ImportTextFile(path, options, target, result)) {
    ConvertMessage(prompts, convert_text::kOpenImportFileFailed, ConvertIcon::kNone,
                   convert_text::kImportErrorCaption);
    return false;
  }
  if (result->errors == 0 && result->warnings == 0) {
    ConvertMessage(prompts, Formatted(convert_text::kAllImported, result->added), ConvertIcon::kInformation,
                   convert_text::kResultsCaption);
    return true;
  }
  char text[512];
  std::snprintf(text, sizeof text, convert_text::kResultsWithLog, convert_text::Events(result->warnings).c_str(),
                convert_text::Events(result->errors).c_str(), convert_text::Events(result->added).c_str());
  if (ConvertAskYesNo(prompts, text, ConvertIcon::kQuestion, convert_text::kResultsCaption) && prompts)
    prompts->ShowLog(result->log);
  return true;
}
