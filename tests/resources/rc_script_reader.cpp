#include "tests/resources/rc_script_reader.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

namespace vtsetup::testing {
namespace {

struct Token {
  enum class Kind { Word, Number, Text } kind = Kind::Word;
  std::string text;
  std::int64_t number = 0;
};

char Unescaped(char escape) {
  switch (escape) {
    case 'r':
      return '\r';
    case 'n':
      return '\n';
    case 't':
      return '\t';
    default:
      return escape;  // the backslash itself
  }
}

// Splits a line into words, numbers and quoted texts; commas only separate.
bool Tokenise(const std::string& line, std::vector<Token>& tokens) {
  std::size_t at = 0;
  while (at < line.size()) {
    const char c = line[at];
    if (c == ' ' || c == ',') {
      ++at;
    } else if (c == '"') {
      Token token{Token::Kind::Text, "", 0};
      for (++at;; ++at) {
        if (at >= line.size()) {
          return false;
        }
        if (line[at] == '"' && (at + 1 >= line.size() || line[at + 1] != '"')) {
          break;
        }
        if (line[at] == '"') {
          ++at;
          token.text += '"';
        } else if (line[at] == '\\' && at + 3 < line.size() && line[at + 1] >= '0' && line[at + 1] <= '7') {
          token.text += static_cast<char>(std::strtol(line.substr(at + 1, 3).c_str(), nullptr, 8));
          at += 3;
        } else if (line[at] == '\\' && at + 1 < line.size()) {
          token.text += Unescaped(line[++at]);
        } else {
          token.text += line[at];
        }
      }
      ++at;
      tokens.push_back(token);
    } else {
      const std::size_t end = line.find_first_of(" ,", at);
      const std::string word = line.substr(at, end == std::string::npos ? std::string::npos : end - at);
      at = end == std::string::npos ? line.size() : end;
      char* rest = nullptr;
      const std::int64_t number = std::strtoll(word.c_str(), &rest, 0);
      if (*rest == '\0') {
        tokens.push_back({Token::Kind::Number, word, number});
      } else {
        tokens.push_back({Token::Kind::Word, word, 0});
      }
    }
  }
  return true;
}

// Checks a line against a pattern of kinds: W word (equal to the next expected word), N number, T text.
bool Matches(const std::vector<Token>& tokens, const std::string& pattern,
             const std::vector<std::string>& words = {}) {
  if (tokens.size() != pattern.size()) {
    return false;
  }
  std::size_t word = 0;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const Token& token = tokens[i];
    const bool fits = (pattern[i] == 'N' && token.kind == Token::Kind::Number) ||
                      (pattern[i] == 'T' && token.kind == Token::Kind::Text) ||
                      (pattern[i] == 'W' && token.kind == Token::Kind::Word && word < words.size() &&
                       token.text == words[word++]);
    if (!fits) {
      return false;
    }
  }
  return true;
}

std::int32_t Int(const Token& token) {
  return static_cast<std::int32_t>(token.number);
}

enum class Block { None, DialogHead, Dialog, StringTableHead, StringTable };

}  // namespace

ResourceScript ReadResourceScript(const std::string& bytes) {
  ResourceScript script;
  std::istringstream lines(bytes);
  std::string line;
  Block block = Block::None;
  int number = 0;
  while (std::getline(lines, line)) {
    ++number;
    std::vector<Token> tokens;
    bool understood = Tokenise(line, tokens);
    if (understood && tokens.empty()) {
      continue;
    }
    if (block == Block::Dialog && Matches(tokens, "WTNTNNNNN", {"CONTROL"})) {
      script.dialogs.back().controls.push_back({tokens[1].text, false, Int(tokens[2]), tokens[3].text,
                                                static_cast<std::uint32_t>(tokens[4].number), Int(tokens[5]),
                                                Int(tokens[6]), Int(tokens[7]), Int(tokens[8])});
    } else if (block == Block::Dialog && Matches(tokens, "WNNTNNNNN", {"CONTROL"})) {
      script.dialogs.back().controls.push_back({tokens[1].text, true, Int(tokens[2]), tokens[3].text,
                                                static_cast<std::uint32_t>(tokens[4].number), Int(tokens[5]),
                                                Int(tokens[6]), Int(tokens[7]), Int(tokens[8])});
    } else if (block == Block::StringTable && Matches(tokens, "NT")) {
      script.strings.emplace_back(Int(tokens[0]), tokens[1].text);
    } else if ((block == Block::Dialog || block == Block::StringTable) && Matches(tokens, "W", {"END"})) {
      block = Block::None;
    } else if (block == Block::DialogHead && Matches(tokens, "WN", {"STYLE"})) {
      script.dialogs.back().style = static_cast<std::uint32_t>(tokens[1].number);
    } else if (block == Block::DialogHead && Matches(tokens, "WNT", {"FONT"})) {
      script.dialogs.back().font_size = Int(tokens[1]);
      script.dialogs.back().font = tokens[2].text;
    } else if (block == Block::DialogHead && Matches(tokens, "W", {"BEGIN"})) {
      block = Block::Dialog;
    } else if (block == Block::StringTableHead && Matches(tokens, "W", {"BEGIN"})) {
      block = Block::StringTable;
    } else if (block != Block::None) {
      understood = false;
    } else if (line.starts_with("#pragma ")) {
      script.pragmas.push_back(line.substr(8));
    } else if (Matches(tokens, "WNN", {"LANGUAGE"})) {
      // The data has no language of its own to compare with.
    } else if (Matches(tokens, "NWT", {"ICON"})) {
      script.icons[Int(tokens[0])] = tokens[2].text;
    } else if (Matches(tokens, "NWT", {"BITMAP"})) {
      script.bitmaps[Int(tokens[0])] = tokens[2].text;
    } else if (Matches(tokens, "NWNNNN", {"DIALOG"}) || Matches(tokens, "NWNNNN", {"DIALOGEX"})) {
      script.dialogs.push_back({Int(tokens[0]),
                                tokens[1].text == "DIALOGEX",
                                Int(tokens[2]),
                                Int(tokens[3]),
                                Int(tokens[4]),
                                Int(tokens[5]),
                                0,
                                0,
                                "",
                                {}});
      block = Block::DialogHead;
    } else if (Matches(tokens, "W", {"STRINGTABLE"})) {
      block = Block::StringTableHead;
    } else {
      understood = false;
    }
    if (!understood) {
      ADD_FAILURE() << "script line " << number << " not understood: " << line;
      return script;
    }
  }
  EXPECT_EQ(block, Block::None) << "the script ends inside a block";
  return script;
}

}  // namespace vtsetup::testing
