// .reg files for the simulated registry: the reader (REGEDIT4 and "Windows Registry Editor
// Version 5.00", ANSI, UTF-8 or UTF-16LE) and the writer, in the layout regedit exports.
//
// The reader follows what regedit accepts, line for line. Where regedit silently skips a line
// it cannot use (a stray byte list, a '#' after data, a value outside any key...), the reader
// refuses the whole file instead: a fixture that would seed a real Windows differently from the
// simulation is a fault in the fixture, and nothing of a refused file is applied.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>

#include "platform/sim/sim_registry.h"
#include "platform/sim/sim_registry_impl.h"
#include "platform/sim/sim_text.h"

namespace sim {
namespace regfile {
namespace {

const char kHeader4[] = "REGEDIT4";
const char kHeader5[] = "Windows Registry Editor Version 5.00";

// Text as the registry keeps it: one byte per character. Code points below 256 map to that
// byte, anything else becomes '?'.
char NarrowCodePoint(uint32_t cp) { return cp < 256 ? static_cast<char>(cp) : '?'; }

std::string DecodeUtf16(const std::string& bytes, size_t start) {
  std::string out;
  for (size_t i = start; i + 1 < bytes.size(); i += 2) {
    const uint32_t unit =
        static_cast<uint8_t>(bytes[i]) | (static_cast<uint8_t>(bytes[i + 1]) << 8);
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 3 < bytes.size()) {
      const uint32_t low =
          static_cast<uint8_t>(bytes[i + 2]) | (static_cast<uint8_t>(bytes[i + 3]) << 8);
      if (low >= 0xDC00 && low <= 0xDFFF) i += 2;  // a pair: one character beyond 0xFFFF
      out += '?';
      continue;
    }
    out += NarrowCodePoint(unit);
  }
  return out;
}

// UTF-8 to the single-byte form; false when the bytes are not valid UTF-8.
bool DecodeUtf8(const std::string& bytes, size_t start, std::string* out) {
  out->clear();
  for (size_t i = start; i < bytes.size();) {
    const uint8_t c = static_cast<uint8_t>(bytes[i]);
    const int extra = c < 0x80             ? 0
                      : (c & 0xE0) == 0xC0 ? 1
                      : (c & 0xF0) == 0xE0 ? 2
                      : (c & 0xF8) == 0xF0 ? 3
                                           : -1;
    if (extra < 0 || i + extra >= bytes.size()) return false;
    uint32_t cp = extra == 0 ? c : c & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) {
      const uint8_t cc = static_cast<uint8_t>(bytes[i + k]);
      if ((cc & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (cc & 0x3F);
    }
    *out += NarrowCodePoint(cp);
    i += extra + 1;
  }
  return true;
}


bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return c - 'A' + 10;
}

size_t SkipBlanks(const std::string& s, size_t pos) {
  while (pos < s.size() && IsBlank(s[pos])) ++pos;
  return pos;
}

// Only blanks, or blanks and a ';' comment, from pos on.
bool RestIsEmpty(const std::string& s, size_t pos) {
  pos = SkipBlanks(s, pos);
  return pos == s.size() || s[pos] == ';';
}

bool StartsWith(const std::string& s, size_t pos, const char* prefix) {
  return s.compare(pos, std::strlen(prefix), prefix) == 0;
}

struct RootName {
  const char* name;
  HKEY root;
};
const RootName kRoots[] = {
    {"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},   {"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
    {"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},     {"HKEY_USERS", HKEY_USERS},
    {"HKEY_CURRENT_CONFIG", HKEY_CURRENT_CONFIG},
};

class Parser {
 public:
  Parser(const std::string& fileName, std::vector<Change>* changes, std::string* error)
      : file_(fileName), changes_(changes), error_(error) {}

  bool Run(const std::string& bytes) {
    std::string text;
    bool unicodeFile = false;
    if (bytes.size() >= 2 && static_cast<uint8_t>(bytes[0]) == 0xFF &&
        static_cast<uint8_t>(bytes[1]) == 0xFE) {
      text = DecodeUtf16(bytes, 2);
      unicodeFile = true;
    } else if (bytes.size() >= 3 && static_cast<uint8_t>(bytes[0]) == 0xEF &&
               static_cast<uint8_t>(bytes[1]) == 0xBB && static_cast<uint8_t>(bytes[2]) == 0xBF) {
      if (!DecodeUtf8(bytes, 3, &text)) return Fail(1, "the file is not valid UTF-8");
      unicodeFile = true;
    } else {
      text = bytes;
    }
    const std::vector<std::string> lines = SplitLines(text);
    const std::string header = lines.empty() ? "" : lines[0].substr(SkipBlanks(lines[0], 0));
    if (header == kHeader4) {
      v5_ = false;
    } else if (header == kHeader5) {
      v5_ = true;
      // A Version 5 file saved as plain text may still be UTF-8.
      std::string decoded;
      if (!unicodeFile && DecodeUtf8(text, 0, &decoded) && decoded != text) {
        return Run("\xEF\xBB\xBF" + text);
      }
    } else {
      return Fail(1, std::string("unknown first line (expected \"") + kHeader4 + "\" or \"" +
                         kHeader5 + "\")");
    }
    for (size_t i = 1; i < lines.size(); ++i) {
      if (!Line(static_cast<int>(i + 1), lines[i])) return false;
    }
    // A trailing backslash on the last line: the value ends with the file, as in regedit.
    if (inHex_) return FinishHex();
    return true;
  }

 private:
  bool Fail(int line, const std::string& what) {
    *error_ = file_ + ":" + std::to_string(line) + ": " + what;
    return false;
  }

  bool Line(int lineNo, const std::string& line) {
    line_ = lineNo;
    size_t pos = SkipBlanks(line, 0);
    if (inHex_) {
      // Inside a continued byte list blank and ';' lines are skipped; anything else must go
      // on with hex bytes.
      if (pos == line.size() || line[pos] == ';') return true;
      if (!IsHexDigit(line[pos]))
        return Fail(lineNo, "expected hex bytes continuing the value of line " +
                                std::to_string(pending_.line));
      return HexList(line, pos);
    }
    if (pos == line.size() || line[pos] == ';' || line[pos] == '#') return true;
    if (line[pos] == '[') return KeyLine(line, pos + 1);
    if (line[pos] == '@' || line[pos] == '"') return ValueLine(line, pos);
    return Fail(lineNo, "not a key, value or comment line");
  }

  bool KeyLine(const std::string& line, size_t pos) {
    const size_t close = line.rfind(']');
    if (close == std::string::npos || close < pos) return Fail(line_, "missing ']'");
    if (!RestIsEmpty(line, close + 1)) return Fail(line_, "text after ']'");
    std::string name = line.substr(pos, close - pos);
    const bool remove = !name.empty() && name[0] == '-';
    if (remove) name.erase(0, 1);
    if (name.empty() || IsBlank(name[0])) return Fail(line_, "blank before the key name");
    Change c;
    c.line = line_;
    if (!KeyName(name, &c.root, &c.path)) return false;
    if (remove) {
      if (c.path.empty()) return Fail(line_, "a root key cannot be deleted");
      c.kind = Change::DeleteTree;
      haveKey_ = false;
    } else {
      c.kind = Change::CreateKey;
      haveKey_ = true;
      keyRoot_ = c.root;
      keyPath_ = c.path;
    }
    changes_->push_back(std::move(c));
    return true;
  }

  bool KeyName(const std::string& name, HKEY* root, std::vector<std::string>* path) {
    const size_t slash = name.find('\\');
    const std::string rootName = name.substr(0, slash);
    *root = nullptr;
    for (const RootName& r : kRoots) {
      if (regimpl::NameEquals(rootName, r.name)) *root = r.root;
    }
    if (!*root) return Fail(line_, "unknown root key \"" + rootName + "\"");
    path->clear();
    if (slash == std::string::npos) return true;
    const std::string rest = name.substr(slash + 1);
    if (!rest.empty() && rest[0] == '\\') return Fail(line_, "empty key name in the path");
    std::string part;
    for (size_t i = 0; i <= rest.size(); ++i) {
      if (i == rest.size() || rest[i] == '\\') {
        if (!part.empty()) {
          if (part.size() > regimpl::kMaxKeyNameLen)
            return Fail(line_, "key name longer than 255 characters");
          path->push_back(part);
        }
        part.clear();
      } else {
        part += rest[i];
      }
    }
    return true;
  }

  // A quoted string from just after its opening quote: the text and the position after the
  // closing quote. Escapes: \\ \" \n \r; any other escaped character stands for itself, and
  // \0 is refused (regedit does not import it).
  bool Quoted(const std::string& line, size_t pos, std::string* out, size_t* end,
              const char* what) {
    out->clear();
    for (size_t i = pos; i < line.size(); ++i) {
      const char c = line[i];
      if (c == '"') {
        *end = i + 1;
        return true;
      }
      if (c != '\\') {
        *out += c;
        continue;
      }
      if (++i == line.size()) break;
      switch (line[i]) {
        case 'n':
          *out += '\n';
          break;
        case 'r':
          *out += '\r';
          break;
        case '0':
          return Fail(line_, std::string("\\0 in ") + what);
        default:
          *out += line[i];
          break;
      }
    }
    return Fail(line_, std::string("unterminated ") + what);
  }

  bool ValueLine(const std::string& line, size_t pos) {
    if (!haveKey_) return Fail(line_, "value line outside of a key");
    Change c;
    c.line = line_;
    c.root = keyRoot_;
    c.path = keyPath_;
    if (line[pos] == '@') {
      ++pos;
    } else {
      if (!Quoted(line, pos + 1, &c.valueName, &pos, "value name")) return false;
      if (c.valueName.size() > regimpl::kMaxValueNameLen)
        return Fail(line_, "value name longer than 16383 characters");
    }
    pos = SkipBlanks(line, pos);
    if (pos == line.size() || line[pos] != '=')
      return Fail(line_, "expected '=' after the value name");
    pos = SkipBlanks(line, pos + 1);
    if (pos < line.size() && line[pos] == '-') {
      if (!RestIsEmpty(line, pos + 1)) return Fail(line_, "text after '-'");
      c.kind = Change::DeleteValue;
      changes_->push_back(std::move(c));
      return true;
    }
    c.kind = Change::SetValue;
    if (pos < line.size() && line[pos] == '"') {
      std::string text;
      size_t end = 0;
      if (!Quoted(line, pos + 1, &text, &end, "string")) return false;
      if (!RestIsEmpty(line, end)) return Fail(line_, "text after the closing quote");
      c.type = REG_SZ;
      c.data.assign(text.begin(), text.end());
      c.data.push_back(0);
      changes_->push_back(std::move(c));
      return true;
    }
    if (StartsWith(line, pos, "dword:")) {
      size_t p = SkipBlanks(line, pos + 6);
      uint32_t value = 0;
      int digits = 0;
      for (; p < line.size() && IsHexDigit(line[p]); ++p, ++digits) {
        value = (value << 4) | static_cast<uint32_t>(HexValue(line[p]));
      }
      if (digits < 1 || digits > 8) return Fail(line_, "a dword needs 1 to 8 hex digits");
      if (!RestIsEmpty(line, p)) return Fail(line_, "text after the dword");
      c.type = REG_DWORD;
      c.data = {static_cast<BYTE>(value), static_cast<BYTE>(value >> 8),
                static_cast<BYTE>(value >> 16), static_cast<BYTE>(value >> 24)};
      changes_->push_back(std::move(c));
      return true;
    }
    if (StartsWith(line, pos, "hex:")) {
      c.type = REG_BINARY;
      pos += 4;
    } else if (StartsWith(line, pos, "hex(")) {
      size_t p = pos + 4;
      uint64_t type = 0;
      int digits = 0;
      for (; p < line.size() && IsHexDigit(line[p]); ++p, ++digits) {
        type = (type << 4) | static_cast<uint64_t>(HexValue(line[p]));
      }
      if (digits < 1 || digits > 8 || !StartsWith(line, p, "):"))
        return Fail(line_, "bad value type in hex(...)");
      c.type = static_cast<DWORD>(type);
      pos = p + 2;
    } else {
      return Fail(line_, "unknown value type");
    }
    pending_ = std::move(c);
    inHex_ = true;
    return HexList(line, pos);
  }

  // Comma-separated bytes of a hex value from pos; a trailing backslash (after a comma)
  // continues the list on the next line.
  bool HexList(const std::string& line, size_t pos) {
    for (;;) {
      pos = SkipBlanks(line, pos);
      if (pos == line.size() || line[pos] == ';') return FinishHex();
      if (line[pos] == '\\') {
        if (!RestIsEmpty(line, pos + 1)) return Fail(line_, "text after the continuation '\\'");
        return true;  // the list goes on with the next line
      }
      int digits = 0, value = 0;
      for (; pos < line.size() && IsHexDigit(line[pos]); ++pos, ++digits) {
        value = value * 16 + HexValue(line[pos]);
      }
      if (digits < 1 || digits > 2) return Fail(line_, "bad hex byte");
      pending_.data.push_back(static_cast<BYTE>(value));
      if (pos < line.size() && line[pos] == ',') {
        ++pos;
        continue;
      }
      if (!RestIsEmpty(line, pos)) return Fail(line_, "bad hex data (bytes are separated by ',')");
      return FinishHex();
    }
  }

  bool FinishHex() {
    inHex_ = false;
    std::vector<BYTE>& data = pending_.data;
    if (regimpl::IsStringType(pending_.type)) {
      // Version 5 files hold string data as UTF-16LE; the registry keeps single bytes.
      if (v5_) {
        if (data.size() % 2)
          return Fail(pending_.line, "odd number of bytes in UTF-16 string data");
        std::vector<BYTE> narrow;
        for (size_t i = 0; i < data.size(); i += 2) {
          narrow.push_back(static_cast<BYTE>(NarrowCodePoint(data[i] | (data[i + 1] << 8))));
        }
        data.swap(narrow);
      }
      // regedit completes string data that lacks its terminating zero.
      if (!data.empty() && data.back() != 0) data.push_back(0);
    }
    changes_->push_back(std::move(pending_));
    pending_ = Change{};
    return true;
  }

  std::string file_;
  std::vector<Change>* changes_;
  std::string* error_;
  bool v5_ = false;
  int line_ = 0;
  bool haveKey_ = false;
  HKEY keyRoot_ = nullptr;
  std::vector<std::string> keyPath_;
  bool inHex_ = false;
  Change pending_;
};

// ---------------------------------------------------------------------------------------------
// Writer

std::string Escape(const std::string& s) {
  std::string out;
  for (char c : s) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '"':
        out += "\\\"";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\n':
        out += "\\n";
        break;
      default:
        out += c;
        break;
    }
  }
  return out;
}

// Data that reads back as the same bytes when written as "...": text and one terminating zero.
bool IsPlainString(const std::vector<BYTE>& data) {
  if (data.empty() || data.back() != 0) return false;
  for (size_t i = 0; i + 1 < data.size(); ++i) {
    if (data[i] == 0) return false;
  }
  return true;
}

// regedit's hex layout: "xx," per byte, a line broken with "\" once it reaches 77 columns,
// continuation lines indented by two spaces.
void WriteHex(std::string* out, size_t lineLen, DWORD type, const std::vector<BYTE>& bytes) {
  char prefix[24];
  if (type == REG_BINARY) {
    std::snprintf(prefix, sizeof prefix, "hex:");
  } else {
    std::snprintf(prefix, sizeof prefix, "hex(%x):", static_cast<unsigned>(type));
  }
  *out += prefix;
  lineLen += std::strlen(prefix);
  for (size_t i = 0; i < bytes.size(); ++i) {
    char hex[4];
    std::snprintf(hex, sizeof hex, "%02x", bytes[i]);
    *out += hex;
    if (i + 1 == bytes.size()) break;
    *out += ',';
    lineLen += 3;
    if (lineLen >= 77) {
      *out += "\\\r\n  ";
      lineLen = 2;
    }
  }
}

void WriteValue(std::string* out, const regimpl::Value& v, bool v5) {
  const std::string start = v.name.empty() ? "@=" : "\"" + Escape(v.name) + "\"=";
  *out += start;
  if (v.type == REG_SZ && IsPlainString(v.data)) {
    // Text up to its terminating zero. Data with inner zeros goes out as hex(1) below, which
    // regedit would cut at the first zero.
    *out += "\"" + Escape(std::string(v.data.begin(), v.data.end() - 1)) + "\"";
  } else if (v.type == REG_DWORD && v.data.size() == 4) {
    char text[24];
    const uint32_t value =
        v.data[0] | (v.data[1] << 8) | (v.data[2] << 16) | (static_cast<uint32_t>(v.data[3]) << 24);
    std::snprintf(text, sizeof text, "dword:%08x", static_cast<unsigned>(value));
    *out += text;
  } else if (v5 && regimpl::IsStringType(v.type)) {
    std::vector<BYTE> wide;
    for (BYTE b : v.data) {
      wide.push_back(b);
      wide.push_back(0);
    }
    WriteHex(out, start.size(), v.type, wide);
  } else {
    WriteHex(out, start.size(), v.type, v.data);
  }
  *out += "\r\n";
}

void WriteKey(std::string* out, const regimpl::Key& key, const std::string& name, bool v5) {
  *out += "\r\n[" + name + "]\r\n";
  for (const regimpl::Value& v : key.values) WriteValue(out, v, v5);
  for (const auto& [folded, child] : key.subkeys)
    WriteKey(out, *child, name + "\\" + child->name, v5);
}

}  // namespace

bool Parse(const std::string& bytes, const std::string& fileName, std::vector<Change>* changes,
           std::string* error) {
  std::string ignored;
  Parser parser(fileName, changes, error ? error : &ignored);
  changes->clear();
  return parser.Run(bytes);
}

const char* RootLongName(HKEY root) {
  for (const RootName& r : kRoots) {
    if (r.root == root) return r.name;
  }
  return nullptr;
}

}  // namespace regfile

// ---------------------------------------------------------------------------------------------
// SimRegistry's .reg operations

bool SimRegistry::LoadRegFile(const std::string& hostPath, std::string* error) {
  std::ifstream in(hostPath, std::ios::binary);
  if (!in) {
    if (error) *error = hostPath + ": cannot read the file";
    return false;
  }
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return LoadRegText(bytes, hostPath, error);
}

bool SimRegistry::LoadRegText(const std::string& text, const std::string& fileName,
                              std::string* error) {
  std::vector<regfile::Change> changes;
  if (!regfile::Parse(text, fileName, &changes, error)) return false;
  // Deleting a key the machine cannot lose is refused before anything is applied.
  for (const regfile::Change& c : changes) {
    if (c.kind != regfile::Change::DeleteTree) continue;
    const regimpl::Key* k = impl_->FindPath(c.root, c.path);
    if (k && impl_->IsProtected(k)) {
      if (error) *error = fileName + ":" + std::to_string(c.line) + ": this key cannot be deleted";
      return false;
    }
  }
  // Key paths in a .reg file name the real keys: nothing is redirected to Wow6432Node.
  for (regfile::Change& c : changes) {
    switch (c.kind) {
      case regfile::Change::CreateKey:
        impl_->CreatePath(c.root, c.path);
        break;
      case regfile::Change::DeleteTree:
        if (regimpl::Key* k = impl_->FindPath(c.root, c.path)) impl_->DeleteTree(k);
        break;
      case regfile::Change::SetValue:
        Impl::SetValue(impl_->CreatePath(c.root, c.path), c.valueName, c.type, std::move(c.data));
        break;
      case regfile::Change::DeleteValue:
        if (regimpl::Key* k = impl_->FindPath(c.root, c.path)) Impl::DeleteValue(k, c.valueName);
        break;
    }
  }
  return true;
}

std::string SimRegistry::SaveRegText(HKEY root, const std::string& path,
                                     RegFileFormat format) const {
  const char* rootName = regfile::RootLongName(root);
  if (!rootName) return "";
  std::vector<std::string> parts;
  std::string part;
  for (size_t i = 0; i <= path.size(); ++i) {
    if (i == path.size() || path[i] == '\\') {
      if (!part.empty()) parts.push_back(part);
      part.clear();
    } else {
      part += path[i];
    }
  }
  // The key names as stored, whatever case the caller used.
  std::string name = rootName;
  std::shared_ptr<regimpl::Key> k = impl_->RootKey(root);
  for (const std::string& p : parts) {
    regimpl::Key* child = k->FindSubKey(p);
    if (!child) return "";
    k = k->subkeys.at(regimpl::Upper(p));
    name += "\\" + k->name;
  }
  const bool v5 = format == RegFileFormat::Version5;
  std::string out = v5 ? regfile::kHeader5 : regfile::kHeader4;
  out += "\r\n";
  regfile::WriteKey(&out, *k, name, v5);
  out += "\r\n";
  return out;
}

bool SimRegistry::SaveRegFile(const std::string& hostPath, HKEY root, const std::string& path,
                              RegFileFormat format) const {
  const std::string text = SaveRegText(root, path, format);
  if (text.empty()) return false;
  std::string bytes;
  if (format == RegFileFormat::Version5) {
    // UTF-16LE with its byte order mark, as regedit writes Version 5 files.
    bytes = "\xFF\xFE";
    for (char c : text) {
      bytes += c;
      bytes += '\0';
    }
  } else {
    bytes = text;
  }
  std::ofstream out(hostPath, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

}  // namespace sim
