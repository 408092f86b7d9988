// `wdCommandDispatch` of the stand-in Word: decodes each command into the log
// and gives it its effect.
#include <windows.h>

#include <initializer_list>
#include <string>
#include <string_view>

#include "host_command.h"
#include "word_host.h"

namespace wordhost {
namespace {

using quran::HostArg;

// What the host answers for a command it refuses.
const std::int32_t kRefused = 1;

// Concatenation without `"literal" + std::string`, which GCC 12 wrongly warns about.
std::string Join(std::initializer_list<std::string_view> parts) {
  std::string text;
  for (std::string_view part : parts) text += part;
  return text;
}

std::string DescribeArg(const HostArg& arg) {
  std::string text;
  std::string field = std::to_string(arg.fieldId);
  if (quran::ArgModeOf(arg) == quran::kNamed) {
    text = Join({"#", field, " "});
  } else if (quran::ArgModeOf(arg) != quran::kPositional) {
    text = Join({"mode", std::to_string(quran::ArgModeOf(arg)), " #", field, " "});
  } else if (arg.fieldId != 0) {
    text = Join({"#", field, "? "});
  }
  switch (quran::ArgTypeOf(arg)) {
    case quran::kArgShort:
      text += Join({"short ", std::to_string(quran::ShortValue(arg))});
      break;
    case quran::kArgString:
      text += "string";
      if (arg.bufferSize) text += Join({"(", std::to_string(arg.bufferSize), ")"});
      if (quran::StringValue(arg)) {
        text += Join({" \"", quran::StringValue(arg), "\""});
      } else {
        text += " <null>";
      }
      break;
    default:
      text += Join({"type", std::to_string(quran::ArgTypeOf(arg))});
  }
  return text;
}

std::string DescribeResult(const HostArg* result) {
  if (!result) return "none";
  switch (quran::ArgTypeOf(*result)) {
    case quran::kArgNone:
      return "void";
    case quran::kArgShort:
      return "short";
    case quran::kArgString:
      return Join({"string(", result->value ? "buffer," : "nobuf,",
                   std::to_string(result->bufferSize), ")"});
  }
  return Join({"type", std::to_string(quran::ArgTypeOf(*result))});
}

const HostArg* Field(const HostArg* args, int count, unsigned id) {
  for (int i = 0; i < count; ++i) {
    if (quran::ArgModeOf(args[i]) == quran::kNamed && args[i].fieldId == id) return &args[i];
  }
  return nullptr;
}

const char* StringOf(const HostArg* arg) {
  return arg && quran::ArgTypeOf(*arg) == quran::kArgString ? quran::StringValue(*arg) : nullptr;
}

bool IsShort(const HostArg* arg) {
  return arg && quran::ArgTypeOf(*arg) == quran::kArgShort;
}

struct Outcome {
  std::int32_t status;
  std::string note;
};

Outcome Refuse(std::string_view why) {
  return {kRefused, Join({"error: ", why})};
}

Outcome Run(unsigned command, int count, const HostArg* args, HostArg* result) {
  const HostArg* first = count > 0 ? &args[0] : nullptr;
  const HostArg* second = count > 1 ? &args[1] : nullptr;
  switch (command) {
    case 109: {
      std::int32_t status = CopySelectionToClipboard();
      if (status == 1) return {status, "no selection"};
      if (status != 0) return Refuse("clipboard cannot be opened");
      return {0, ""};
    }
    case 110: {
      // Logged beside the string the command came with, which Word ignores.
      std::wstring pasted;
      std::int32_t status = PasteClipboard(&pasted);
      if (status == 1) return Refuse("the clipboard holds no text");
      if (status != 0) return Refuse("clipboard cannot be opened");
      return {0, Join({"pasted \"", quran::ToCodePage(pasted), "\""})};
    }
    case 433: {
      if (const HostArg* remove = Field(args, count, 4)) {
        if (!IsShort(remove) || quran::ShortValue(*remove) != 1) return Refuse("field 4 is not 1");
        return {RemoveAddinMenus(), ""};
      }
      const char* menu = StringOf(Field(args, count, 7));
      const char* macro = StringOf(Field(args, count, 1));
      const char* caption = StringOf(Field(args, count, 8));
      if (!menu || !macro || !caption) return Refuse("433 needs the strings 7, 1 and 8");
      if (AddMenuItem(menu, macro, caption) != 0) return Refuse(Join({"no menu ", menu}));
      return {0, ""};
    }
    case 615: {
      const char* caption = StringOf(Field(args, count, 8));
      if (!caption) return Refuse("615 needs the caption as string 8");
      const HostArg* position = Field(args, count, 43);
      return {AddMenu(caption, IsShort(position) ? quran::ShortValue(*position) : -1), ""};
    }
    case 32931:
    case 33007:
      return {0, ""};
    case 33088: {
      if (!IsShort(first) || !IsShort(second)) return Refuse("33088 needs two shorts");
      if (!result || quran::ArgTypeOf(*result) != quran::kArgString || !result->value ||
          result->bufferSize == 0) {
        return Refuse("33088 needs a result buffer");
      }
      char* buffer = reinterpret_cast<char*>(static_cast<std::uintptr_t>(result->value));
      if (ReadMenuBarCaption(quran::ShortValue(*first), quran::ShortValue(*second), buffer,
                             result->bufferSize) != 0) {
        return {kRefused, "no menu there"};
      }
      return {0, Join({"\"", buffer, "\""})};
    }
    case 33142: {
      if (!IsShort(first) || !StringOf(second)) return Refuse("33142 needs a short and a string");
      if (RegisterMacroName(StringOf(second)) != 0) return Refuse("empty macro name");
      return {0, ""};
    }
    case 33249: {
      if (!result || quran::ArgTypeOf(*result) != quran::kArgShort) {
        return Refuse("33249 needs a short result");
      }
      auto window = static_cast<std::uint16_t>(reinterpret_cast<std::uintptr_t>(MainWindow()));
      result->value = window;
      return {0, std::to_string(static_cast<std::int16_t>(window))};
    }
  }
  return Refuse("unknown command");
}

}  // namespace
}  // namespace wordhost

extern "C" std::int32_t WINAPI wdCommandDispatch(std::int32_t command, std::int32_t options,
                                                 std::int32_t count, quran::HostArg* args,
                                                 quran::HostArg* result) {
  using namespace wordhost;
  auto number = static_cast<std::uint16_t>(command);
  std::string line = Join({std::to_string(number), " options=", std::to_string(options),
                           " count=", std::to_string(count), " args=["});
  Outcome outcome;
  if (count < 0 || count > quran::kHostArgSlots || (count > 0 && !args)) {
    line += "?";
    outcome = Refuse("bad argument count");
  } else {
    for (int i = 0; i < count; ++i) line += Join({i ? ", " : "", DescribeArg(args[i])});
    outcome = Run(number, count, args, result);
  }
  line += Join({"] result=", DescribeResult(result), " => ", std::to_string(outcome.status)});
  if (!outcome.note.empty()) line += Join({" ", outcome.note});
  AppendLog(line);
  return outcome.status;
}
