#include "modelprog/prog_cmf.h"

#include "cmf/cmf_tokens.h"
#include "core/number_text.h"
#include "core/text_util.h"
#include "platform/files.h"
#include "platform/paths.h"

namespace yl::modelprog {
namespace {

using Words = std::vector<std::string>;

bool IsWord(const std::string& w, const char* word) { return SameText(w, word); }

// Statement parser: works on the words of one statement (without ";").
class Parser {
 public:
  Parser(CommandFile& cmf, const CmfStatement& st) : cmf_(cmf), line_(st.line()) {
    for (const CmfWord& w : st.words) words_.push_back(w.text);
  }

  Status Run();

 private:
  std::unexpected<std::string> Problem(const std::string& text) const {
    return Fail("Command file " + cmf_.path + ", line " + std::to_string(line_) + ": " + text);
  }
  // The words after the "=" that follows `key_words` words; fails when the statement is
  // not "KEY... = VALUE...".
  Result<Words> ValueAfter(std::size_t key_words) const;
  Result<std::string> OneValue(std::size_t key_words) const;
  Result<bool> YesNo(std::size_t key_words) const;
  Result<int> Integer(std::size_t key_words, int low, int high) const;
  Result<ComponentList> ReadList(std::size_t& i) const;

  Status Setting(const std::string& key);
  Status Closure(const std::string& keyword);
  Status Shock(ShockWord kind);
  Status Environment(bool save);

  CommandFile& cmf_;
  int line_;
  Words words_;
};

Result<Words> Parser::ValueAfter(std::size_t key_words) const {
  if (words_.size() <= key_words || words_[key_words] != "=")
    return Problem("expected \"=\" after \"" + words_.front() + "\"");
  Words v(words_.begin() + static_cast<std::ptrdiff_t>(key_words) + 1, words_.end());
  if (v.empty()) return Problem("nothing after \"=\"");
  return v;
}

Result<std::string> Parser::OneValue(std::size_t key_words) const {
  auto v = ValueAfter(key_words);
  if (!v) return std::unexpected(v.error());
  if (v->size() != 1) return Problem("expected one value after \"=\"");
  return Unquote(v->front());
}

Result<bool> Parser::YesNo(std::size_t key_words) const {
  auto v = OneValue(key_words);
  if (!v) return std::unexpected(v.error());
  if (SameText(*v, "yes")) return true;
  if (SameText(*v, "no")) return false;
  return Problem("expected \"yes\" or \"no\" but found \"" + *v + "\"");
}

Result<int> Parser::Integer(std::size_t key_words, int low, int high) const {
  auto v = OneValue(key_words);
  if (!v) return std::unexpected(v.error());
  auto n = ParseInt(*v);
  if (!n || *n < low || *n > high)
    return Problem("expected a whole number from " + std::to_string(low) + " to " +
                   std::to_string(high) + " but found \"" + *v + "\"");
  return *n;
}

// VARIABLE [ ( ELEMENT , ... ) ] starting at words_[i]; i moves behind it.
Result<ComponentList> Parser::ReadList(std::size_t& i) const {
  if (i >= words_.size()) return Problem("a variable name is missing");
  const std::string& name = words_[i];
  if (name == "=" || name == "(" || name == ")")
    return Problem("expected a variable name but found \"" + name + "\"");
  ComponentList list{Unquote(name), {}};
  ++i;
  if (i < words_.size() && words_[i] == "(") {
    std::string inside;
    ++i;
    while (i < words_.size() && words_[i] != ")") inside += words_[i++] + " ";
    if (i >= words_.size()) return Problem("\"(\" after " + list.variable + " is not closed");
    ++i;
    std::size_t start = 0;
    for (;;) {
      std::size_t comma = inside.find(',', start);
      std::string e = Unquote(Trim(inside.substr(start, comma - start)));
      if (e.empty()) return Problem("an element name is missing after " + list.variable + "(");
      list.elements.push_back(e);
      if (comma == std::string::npos) break;
      start = comma + 1;
    }
  }
  return list;
}

Status Parser::Setting(const std::string& key) {
  auto as_void = [](auto r) -> Status {
    if (!r) return std::unexpected(r.error());
    return Ok();
  };
  model::SolveSettings& m = cmf_.method;
  if (key == "auxiliary") {
    if (words_.size() < 2 || !IsWord(words_[1], "files"))
      return Problem("expected \"auxiliary files = NAME\"");
    auto v = OneValue(2);
    if (v) cmf_.auxiliary = *v;
    return as_void(v);
  }
  if (key == "solution") {
    if (words_.size() < 2 || !IsWord(words_[1], "file"))
      return Problem("expected \"Solution file = NAME\"");
    auto v = OneValue(2);
    if (v) cmf_.solution = *v;
    return as_void(v);
  }
  if (key == "method") {
    auto v = OneValue(1);
    if (!v) return as_void(v);
    if (SameText(*v, "johansen")) {
      m.method = model::SolveMethod::kJohansen;
      m.steps = {1};
    } else if (SameText(*v, "euler")) {
      m.method = model::SolveMethod::kEuler;
    } else if (SameText(*v, "gragg")) {
      m.method = model::SolveMethod::kGragg;
    } else if (SameText(*v, "midpoint")) {
      m.method = model::SolveMethod::kMidpoint;
    } else {
      return Problem("unknown method \"" + *v + "\" (Johansen, Euler, Gragg or Midpoint)");
    }
    return Ok();
  }
  if (key == "steps") {
    auto v = ValueAfter(1);
    if (!v) return as_void(v);
    if (v->size() > 3) return Problem("at most three step counts");
    std::vector<int> steps;
    for (const std::string& w : *v) {
      auto n = ParseInt(w);
      if (!n || *n < 1 || *n > 100000) return Problem("\"" + w + "\" is not a step count");
      steps.push_back(*n);
    }
    m.steps = steps;
    return Ok();
  }
  if (key == "subintervals") {
    auto n = Integer(1, 1, 100000);
    if (n) m.subintervals = m.auto_accuracy.subintervals = *n;
    return as_void(n);
  }
  if (key == "automatic") {
    if (words_.size() < 2 || !IsWord(words_[1], "accuracy"))
      return Problem("expected \"automatic accuracy = yes|no\"");
    auto b = YesNo(2);
    if (b) m.automatic_accuracy = *b;
    return as_void(b);
  }
  if (key == "accuracy") {
    if (words_.size() < 2) return Problem("expected \"accuracy figures|percent|criterion = ...\"");
    if (IsWord(words_[1], "figures")) {
      auto n = Integer(2, 1, model::kMaxFigures);
      if (n) m.auto_accuracy.figures = *n;
      return as_void(n);
    }
    if (IsWord(words_[1], "percent")) {
      auto n = Integer(2, 1, 100);
      if (n) m.auto_accuracy.percent = *n;
      return as_void(n);
    }
    if (IsWord(words_[1], "criterion")) {
      auto v = OneValue(2);
      if (!v) return as_void(v);
      if (SameText(*v, "data")) {
        m.auto_accuracy.criterion = model::AccuracyCriterion::kData;
      } else if (SameText(*v, "solution")) {
        m.auto_accuracy.criterion = model::AccuracyCriterion::kSolution;
      } else if (SameText(*v, "both")) {
        m.auto_accuracy.criterion = model::AccuracyCriterion::kBoth;
      } else {
        return Problem("unknown accuracy criterion \"" + *v + "\" (Data, Solution or Both)");
      }
      return Ok();
    }
    return Problem("unknown statement \"accuracy " + words_[1] + "\"");
  }
  if (key == "minimum") {
    if (words_.size() < 3 || !IsWord(words_[1], "subinterval"))
      return Problem("expected \"minimum subinterval length|fails = ...\"");
    if (IsWord(words_[2], "length")) {
      auto v = OneValue(3);
      if (!v) return as_void(v);
      auto x = ParseReal(*v);
      if (!x || !(*x > 0 && *x <= 1)) return Problem("\"" + *v + "\" is not a subinterval length");
      m.auto_accuracy.min_subinterval_length = *x;
      return Ok();
    }
    if (IsWord(words_[2], "fails")) {
      auto v = OneValue(3);
      if (!v) return as_void(v);
      if (SameText(*v, "stop")) {
        m.auto_accuracy.stop_on_failure = true;
      } else if (SameText(*v, "continue")) {
        m.auto_accuracy.stop_on_failure = false;
      } else {
        return Problem("expected \"stop\" or \"continue\" but found \"" + *v + "\"");
      }
      return Ok();
    }
    return Problem("unknown statement \"minimum subinterval " + words_[2] + "\"");
  }
  if (key == "verbal") {
    if (words_.size() < 2 || !IsWord(words_[1], "description"))
      return Problem("expected \"verbal description = TEXT\"");
    auto v = ValueAfter(2);
    if (!v) return as_void(v);
    std::string text;
    for (const std::string& w : *v) text += (text.empty() ? "" : " ") + Unquote(w);
    cmf_.verbal = text;
    return Ok();
  }
  if (key == "file") {
    if (words_.size() < 2) return Problem("expected \"File LOGICAL = NAME\"");
    auto v = OneValue(2);
    if (v) cmf_.files.push_back({words_[1], *v, line_});
    return as_void(v);
  }
  if (key == "updated") {
    if (words_.size() < 3 || !IsWord(words_[1], "file"))
      return Problem("expected \"updated file LOGICAL = NAME\"");
    auto v = OneValue(3);
    if (v) cmf_.updated.push_back({words_[2], *v, line_});
    return as_void(v);
  }
  if (key == "intermediate") {
    auto v = ValueAfter(3);
    if (v)
      cmf_.notes.push_back(
          "\"intermediate extra data\" accepted: this program keeps no intermediate files");
    return as_void(v);
  }
  if (key == "udc") {
    if (words_.size() < 2 || !IsWord(words_[1], "file"))
      return Problem("expected \"UDC file = yes|no\"");
    auto b = YesNo(2);
    if (b) cmf_.udc = *b;
    return as_void(b);
  }
  if (key == "auto_shocks") {
    auto b = YesNo(1);
    if (b) cmf_.auto_shocks = *b;
    return as_void(b);
  }
  if (key == "nds" || key == "nwr" || key == "neq" || key == "nas") {
    auto b = YesNo(1);
    if (!b) return as_void(b);
    bool& flag = key == "nds"   ? cmf_.nds
                 : key == "nwr" ? cmf_.nwr
                 : key == "neq" ? cmf_.neq
                                : cmf_.nas;
    flag = *b;
    return Ok();
  }
  if (key == "range") {
    if (words_.size() < 4 || !IsWord(words_[1], "test") || !IsWord(words_[2], "initial") ||
        !IsWord(words_[3], "values"))
      return Problem("expected \"range test initial values = yes|no\"");
    auto b = YesNo(4);
    if (b)
      cmf_.notes.push_back(
          "\"range test initial values\" accepted: the model's own data checks always apply");
    return as_void(b);
  }
  return Problem("internal: setting " + key);
}

Status Parser::Environment(bool save) {
  if (words_.size() < 4 || !IsWord(words_[1], "environment") || !IsWord(words_[2], "file"))
    return Problem(std::string("expected \"") + (save ? "save" : "use") +
                   " environment file NAME\"");
  if (words_.size() != 4) return Problem("expected one file name after \"environment file\"");
  std::string name = Unquote(words_[3]);
  if (save) {
    cmf_.save_environment.push_back(name);
  } else {
    ClosureStatement c;
    c.op = ClosureOp::kUseEnv;
    c.environment = name;
    c.line = line_;
    cmf_.closure.push_back(std::move(c));
  }
  return Ok();
}

Status Parser::Closure(const std::string& keyword) {
  ClosureStatement c;
  c.line = line_;
  if (keyword == "rest") {
    if (words_.size() != 2) return Problem("expected \"rest exogenous\" or \"rest endogenous\"");
    std::string w = NormaliseKeyword(words_[1]);
    if (w == "exogenous") {
      c.op = ClosureOp::kRestExogenous;
    } else if (w == "endogenous") {
      c.op = ClosureOp::kRestEndogenous;
    } else {
      return Problem("expected \"rest exogenous\" or \"rest endogenous\"");
    }
  } else if (keyword == "swap") {
    c.op = ClosureOp::kSwap;
    std::size_t i = 1;
    auto out = ReadList(i);
    if (!out) return std::unexpected(out.error());
    if (i >= words_.size() || words_[i] != "=") return Problem("expected \"swap OUT = IN\"");
    ++i;
    auto in = ReadList(i);
    if (!in) return std::unexpected(in.error());
    if (i != words_.size()) return Problem("unexpected \"" + words_[i] + "\" in swap statement");
    c.swap_out = *out;
    c.swap_in = *in;
  } else {
    c.op = keyword == "exogenous" ? ClosureOp::kExogenous : ClosureOp::kEndogenous;
    std::size_t i = 1;
    if (i >= words_.size()) return Problem("no variables after \"" + words_.front() + "\"");
    while (i < words_.size()) {
      auto item = ReadList(i);
      if (!item) return std::unexpected(item.error());
      c.items.push_back(*item);
    }
  }
  cmf_.closure.push_back(std::move(c));
  return Ok();
}

Status Parser::Shock(ShockWord kind) {
  ShockStatement s;
  s.kind = kind;
  s.line = line_;
  std::size_t i = 1;
  auto target = ReadList(i);
  if (!target) return std::unexpected(target.error());
  s.target = *target;
  if (i >= words_.size() || words_[i] != "=")
    return Problem("expected \"=\" after " + ListText(s.target));
  ++i;
  std::size_t end = words_.size();
  // A trailing slice "NAME" (year tags add it before the ";").
  if (end >= i + 2 && IsWord(words_[end - 2], "slice")) {
    s.slice = Unquote(words_[end - 1]);
    if (s.slice.empty()) return Problem("empty slice name");
    end -= 2;
  }
  if (i >= end) return Problem("no shock values after \"=\"");
  if (IsWord(words_[i], "file")) {
    if (end - i != 4 || !IsWord(words_[i + 2], "header"))
      return Problem("expected \"file NAME header \\\"HEAD\\\"\" after \"=\"");
    s.file = Unquote(words_[i + 1]);
    s.header = Unquote(words_[i + 3]);
    if (s.file.empty() || s.header.empty()) return Problem("empty file or header name");
  } else {
    if (IsWord(words_[i], "uniform")) {
      ++i;
      if (end - i != 1) return Problem("expected one number after \"uniform\"");
    }
    for (; i < end; ++i) {
      auto x = ParseReal(words_[i]);
      if (!x) return Problem("\"" + words_[i] + "\" is not a number");
      s.values.push_back(*x);
    }
    if (!s.slice.empty())
      cmf_.notes.push_back("line " + std::to_string(line_) + ": slice \"" + s.slice +
                           "\" after a list of numbers has no effect");
  }
  cmf_.shocks.push_back(std::move(s));
  return Ok();
}

Status Parser::Run() {
  const std::string first = LowerCase(words_.front());
  static const char* const kSettings[] = {
      "auxiliary", "solution", "method", "steps",   "subintervals", "automatic", "accuracy",
      "minimum",   "verbal",   "file",   "updated", "intermediate", "udc",       "auto_shocks",
      "nds",       "nwr",      "neq",    "nas",     "range"};
  for (const char* k : kSettings)
    if (first == k) return Setting(first);
  if (first == "save") return Environment(true);
  if (first == "use") return Environment(false);
  const std::string keyword = first == "swap" ? first : NormaliseKeyword(words_.front());
  if (keyword == "exogenous" || keyword == "endogenous" || keyword == "rest" || keyword == "swap")
    return Closure(keyword);
  if (keyword == "shock") return Shock(ShockWord::kShock);
  if (keyword == "ashock") return Shock(ShockWord::kAShock);
  if (keyword == "tshock") return Shock(ShockWord::kTShock);
  if (keyword == "final_level") return Shock(ShockWord::kFinalLevel);
  if (keyword == "change") return Shock(ShockWord::kChange);
  if (keyword == "percent_change") return Shock(ShockWord::kPercentChange);
  static const char* const kFamily[] = {"xset",     "xsubset", "xfile", "modify",     "take",
                                        "subtotal", "lu",      "use",   "environment"};
  for (const char* k : kFamily)
    if (keyword == k)
      return Problem("statement \"" + words_.front() + "\" is not supported by this model program");
  return Problem("unknown statement \"" + words_.front() + "\"");
}

}  // namespace

std::string ListText(const ComponentList& list) {
  if (list.elements.empty()) return list.variable;
  std::string s = list.variable + "(";
  for (std::size_t i = 0; i < list.elements.size(); ++i) s += (i ? "," : "") + list.elements[i];
  return s + ")";
}

Result<CommandFile> ParseCommandFile(const std::string& text, const std::string& path) {
  CommandFile cmf;
  cmf.path = path;
  cmf.method.method = model::SolveMethod::kJohansen;
  cmf.method.steps = {1};
  for (const CmfStatement& st : ParseCmfText(text)) {
    if (st.words.empty() || (st.words.size() == 1 && st.words.front().text == ";")) continue;
    if (!st.terminated)
      return Fail("Command file " + path + ", line " + std::to_string(st.line()) +
                  ": the statement beginning \"" + st.keyword_word() +
                  "\" does not end with \";\"");
    Parser p(cmf, st);
    if (auto s = p.Run(); !s) return Fail(s.error());
  }
  return cmf;
}

Result<CommandFile> ReadCommandFile(const std::string& path) {
  if (!FileExists(path)) return Fail("Command file " + path + " does not exist");
  auto text = ReadWholeFile(path);
  if (!text) return Fail("Cannot read command file " + path + ": " + text.error());
  return ParseCommandFile(*text, path);
}

}  // namespace yl::modelprog
