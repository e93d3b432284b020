#include "cli/json_report.h"

#include <cstdio>

namespace dd::cli {

namespace {

// Length of the valid UTF-8 sequence at `i`, or 0 (overlong forms, surrogates and values above U+10FFFF are invalid).
std::size_t Utf8Length(std::string_view s, std::size_t i) {
  const auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
  const unsigned char c = b(i);
  std::size_t n = c < 0x80                   ? 1
                  : (c >= 0xC2 && c <= 0xDF) ? 2
                  : (c >= 0xE0 && c <= 0xEF) ? 3
                  : (c >= 0xF0 && c <= 0xF4) ? 4
                                             : 0;
  if (n == 0 || i + n > s.size()) return 0;
  for (std::size_t k = 1; k < n; ++k)
    if ((b(i + k) & 0xC0) != 0x80) return 0;
  if (n == 3 && ((c == 0xE0 && b(i + 1) < 0xA0) || (c == 0xED && b(i + 1) >= 0xA0))) return 0;
  if (n == 4 && ((c == 0xF0 && b(i + 1) < 0x90) || (c == 0xF4 && b(i + 1) >= 0x90))) return 0;
  return n;
}

std::string Hex4(unsigned value) {
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "\\u%04x", value);
  return buffer;
}

std::string Number(int64_t value) {
  return std::to_string(value);
}

std::string CountAndBytes(int64_t count, int64_t bytes) {
  return "{\"count\":" + Number(count) + ",\"bytes\":" + Number(bytes) + "}";
}

std::string CountAndBytes(const PendingCount& c) {
  return CountAndBytes(c.Count, c.Bytes);
}

}  // namespace

std::string JsonString(std::string_view s) {
  std::string out = "\"";
  for (std::size_t i = 0; i < s.size();) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    const std::size_t n = Utf8Length(s, i);
    if (n == 0) {
      out += Hex4(0xDC00 + c);
      ++i;
      continue;
    }
    if (n == 1) {
      if (c == '"')
        out += "\\\"";
      else if (c == '\\')
        out += "\\\\";
      else if (c == '\n')
        out += "\\n";
      else if (c == '\r')
        out += "\\r";
      else if (c == '\t')
        out += "\\t";
      else if (c < 0x20 || c == 0x7F)
        out += Hex4(c);
      else
        out += static_cast<char>(c);
    } else {
      out.append(s.substr(i, n));
    }
    i += n;
  }
  return out + "\"";
}

std::string RunReportJson(const RunReport& r, const RunStatistics& s) {
  // The layout's number: raised when a field changes its meaning or goes.
  std::string j = "{\"schema\":1";
  j += ",\"command\":" + JsonString(r.command);
  j += ",\"job\":" + (r.jobFile.empty() ? std::string("null") : JsonString(r.jobFile));
  j += ",\"exit_status\":" + Number(r.exitStatus);
  j += ",\"stopped\":" + std::string(r.stopped ? "true" : "false");
  // Whole milliseconds, written by hand: the text must not follow the locale's decimal separator.
  const int64_t ms = r.seconds > 0 ? static_cast<int64_t>(r.seconds * 1000 + 0.5) : 0;
  const std::string fraction = std::to_string(1000 + ms % 1000).substr(1);
  j += ",\"duration_seconds\":" + Number(ms / 1000) + "." + fraction;
  j += ",\"failed_operations\":" + Number(r.failures);
  j += ",\"failures\":[";
  for (std::size_t i = 0; i < s.FailedItems.size(); ++i) {
    const RunStatistics::FailedItem& f = s.FailedItems[i];
    j += std::string(i ? "," : "") + "{\"operation\":" + JsonString(f.operation) + ",\"path\":" + JsonString(f.path) +
         ",\"reason\":" + JsonString(f.reason) + "}";
  }
  j += "]";
  j += ",\"unreadable_folders\":" + Number(s.UnlistedFolders);
  j += ",\"skipped_names\":" + Number(s.SkippedNames);
  j += ",\"own_entries_left_out\":" + Number(s.OwnEntriesLeftOut);
  j += ",\"pending\":{";
  j += "\"delete_in_f1\":" + CountAndBytes(s.Pending(OpKind::Delete, Side::F1));
  j += ",\"delete_in_f2\":" + CountAndBytes(s.Pending(OpKind::Delete, Side::F2));
  j += ",\"new_in_f1\":" + CountAndBytes(s.Pending(OpKind::New, Side::F1));
  j += ",\"new_in_f2\":" + CountAndBytes(s.Pending(OpKind::New, Side::F2));
  j += ",\"replace_in_f1\":" + CountAndBytes(s.Pending(OpKind::Replace, Side::F1));
  j += ",\"replace_in_f2\":" + CountAndBytes(s.Pending(OpKind::Replace, Side::F2));
  j += ",\"moved_in_f1\":" + CountAndBytes(s.Pending(OpKind::Move, Side::F1));
  j += ",\"moved_in_f2\":" + CountAndBytes(s.Pending(OpKind::Move, Side::F2));
  j += ",\"total\":" + CountAndBytes(s.PendingOps(), s.Pending.Bytes(OpKind::Delete) + s.Pending.Bytes(OpKind::New) +
                                                         s.Pending.Bytes(OpKind::Replace));
  j += "}";
  j += ",\"done\":{";
  j += "\"deleted\":" + CountAndBytes(s.DeletedCount, s.DeletedBytes);
  j += ",\"new\":" + CountAndBytes(s.NewCount, s.NewBytes);
  j += ",\"replaced\":" + CountAndBytes(s.ReplacedCount, s.ReplacedBytes);
  j += ",\"moved\":" + CountAndBytes(s.MovedCount, s.MovedBytes);
  j += "}";
  j += ",\"trees\":{";
  j += "\"files_f1\":" + Number(s.TreeFilesF1) + ",\"files_f2\":" + Number(s.TreeFilesF2);
  j += ",\"folders_f1\":" + Number(s.TreeFoldersF1) + ",\"folders_f2\":" + Number(s.TreeFoldersF2);
  j += ",\"bytes_f1\":" + Number(s.TreeSizeF1) + ",\"bytes_f2\":" + Number(s.TreeSizeF2);
  j += "}";
  j += ",\"content\":{";
  j += "\"compared_files\":" + Number(s.Compared.Files) + ",\"differing\":" + Number(s.Compared.Differing);
  j += ",\"unreadable\":" + Number(s.Compared.Unreadable) + ",\"bytes_read\":" + Number(s.Compared.BytesRead);
  j += ",\"verified_files\":" + Number(s.Verified.Files) + ",\"verify_mismatches\":" + Number(s.Verified.Mismatches);
  j += ",\"verify_bytes_read\":" + Number(s.Verified.BytesRead);
  j += "}";
  j += ",\"errors\":[";
  for (std::size_t i = 0; i < r.errors.size(); ++i) j += (i ? "," : "") + JsonString(r.errors[i]);
  j += "]}";
  return j;
}

}  // namespace dd::cli
