// Taking a command's options and operands apart, and the helpers every command shares.
#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "cli/Cli.h"
#include "documents/DocumentXml.h"

namespace lumetra::cli {

bool TArguments::Flag(const std::string& name) {
  bool found = false;
  for (auto it = arguments_.begin(); it != arguments_.end();) {
    if (*it == "--") break;
    if (*it == name) {
      it = arguments_.erase(it);
      found = true;
    } else if (it->rfind(name + "=", 0) == 0) {
      Fail("voľba " + name + " nemá hodnotu");
    } else {
      ++it;
    }
  }
  return found;
}

std::optional<std::string> TArguments::Value(const std::string& name) {
  std::optional<std::string> value;
  for (auto it = arguments_.begin(); it != arguments_.end();) {
    if (*it == "--") break;
    std::optional<std::string> taken;
    if (*it == name) {
      if (it + 1 == arguments_.end()) Fail("voľba " + name + " potrebuje hodnotu");
      taken = *(it + 1);
      it = arguments_.erase(it, it + 2);
    } else if (it->rfind(name + "=", 0) == 0) {
      taken = it->substr(name.size() + 1);
      it = arguments_.erase(it);
    } else {
      ++it;
    }
    if (taken) {
      if (value) Fail("voľba " + name + " je zadaná viackrát");
      value = std::move(taken);
    }
  }
  return value;
}

std::vector<std::string> TArguments::Operands(size_t min, size_t max, const std::string& names) {
  std::vector<std::string> operands;
  bool plain = false;
  for (const std::string& a : arguments_) {
    if (!plain && a == "--") {
      plain = true;
    } else if (!plain && a.size() > 1 && a[0] == '-') {
      Fail("neznáma voľba " + a);
    } else {
      operands.push_back(a);
    }
  }
  if (operands.size() < min) Fail("chýba " + names);
  if (operands.size() > max) Fail("priveľa argumentov: " + operands[max]);
  return operands;
}

std::vector<int> NumberList(const TArguments& args, const std::string& option,
                            const std::string& text, int max) {
  std::vector<int> numbers;
  const auto number = [&](const std::string& part) {
    int64_t value = 0;
    if (ParseDecimal(part, value) != DecimalText::kNumber || value < 0 || value > max) {
      args.Fail("voľba " + option + ": \"" + part + "\" nie je číslo 0 až " +
                std::to_string(max));
    }
    return static_cast<int>(value);
  };
  size_t start = 0;
  for (;;) {
    const size_t comma = text.find(',', start);
    const std::string item = text.substr(start, comma == std::string::npos ? comma : comma - start);
    const size_t dash = item.find('-');
    if (dash == std::string::npos) {
      numbers.push_back(number(item));
    } else {
      const int from = number(item.substr(0, dash)), to = number(item.substr(dash + 1));
      if (from > to) args.Fail("voľba " + option + ": rozsah \"" + item + "\" je obrátený");
      for (int n = from; n <= to; ++n) numbers.push_back(n);
    }
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return numbers;
}

std::string ExecutableFolder() {
  std::error_code error;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::string() : self.parent_path().string();
}

std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\r':
        out += "\\r";
        break;
      default:
        if (c < 0x20) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
          out += escaped;
        } else {
          out += ch;
        }
    }
  }
  return out + "\"";
}

std::string AddressName(char population, int address) {
  char text[8];
  std::snprintf(text, sizeof text, "%c %02d", population, address);
  return text;
}

}  // namespace lumetra::cli
