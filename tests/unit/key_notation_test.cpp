#include <gtest/gtest.h>

#include <string>

#include "capture/KeyNotation.h"

namespace focura {
namespace {

KeyStroke C(char32_t c, uint8_t m = 0) {
  return KeyStroke::Char(c, m);
}
KeyStroke N(NamedKey k, uint8_t m = 0) {
  return KeyStroke::Named(k, m);
}

TEST(ParseKeys, PlainCharactersIncludingBlanksAndNonAscii) {
  EXPECT_EQ(ParseKeys(""), KeyStrokes{});
  EXPECT_EQ(ParseKeys("aB 1"), (KeyStrokes{C('a'), C('B'), C(' '), C('1')}));
  EXPECT_EQ(ParseKeys("\xC3\xA9\xE2\x82\xAC\xF0\x9F\x93\xB7"),  // e-acute, euro sign, camera
            (KeyStrokes{C(U'\u00E9'), C(U'\u20AC'), C(U'\U0001F4F7')}));
}

TEST(ParseKeys, ModifiersApplyToTheNextKeyAndStack) {
  EXPECT_EQ(ParseKeys("+a"), (KeyStrokes{C('a', kModShift)}));
  EXPECT_EQ(ParseKeys("^s%f"), (KeyStrokes{C('s', kModCtrl), C('f', kModAlt)}));
  EXPECT_EQ(ParseKeys("+^a b"), (KeyStrokes{C('a', kModShift | kModCtrl), C(' '), C('b')}));
  EXPECT_EQ(ParseKeys("%{F4}"), (KeyStrokes{N(NamedKey::F4, kModAlt)}));
  EXPECT_EQ(ParseKeys("^~"), (KeyStrokes{N(NamedKey::Enter, kModCtrl)}));
}

TEST(ParseKeys, ModifiersApplyToAWholeGroup) {
  EXPECT_EQ(ParseKeys("+(ab)c"), (KeyStrokes{C('a', kModShift), C('b', kModShift), C('c')}));
  EXPECT_EQ(ParseKeys("^(a%b{TAB 2})"),
            (KeyStrokes{C('a', kModCtrl), C('b', kModCtrl | kModAlt), N(NamedKey::Tab, kModCtrl),
                        N(NamedKey::Tab, kModCtrl)}));
  EXPECT_EQ(ParseKeys("(x)"), (KeyStrokes{C('x')}));
  EXPECT_EQ(ParseKeys("+(a(b))"), (KeyStrokes{C('a', kModShift), C('b', kModShift)}));
}

TEST(ParseKeys, EnterAndBracedKeyNamesInAnyCase) {
  EXPECT_EQ(ParseKeys("~"), (KeyStrokes{N(NamedKey::Enter)}));
  struct Case {
    const char* text;
    NamedKey key;
  };
  for (Case c : {Case{"{ENTER}", NamedKey::Enter},
                 Case{"{enter}", NamedKey::Enter},
                 Case{"{Tab}", NamedKey::Tab},
                 Case{"{ESC}", NamedKey::Escape},
                 Case{"{BS}", NamedKey::Backspace},
                 Case{"{BACKSPACE}", NamedKey::Backspace},
                 Case{"{bksp}", NamedKey::Backspace},
                 Case{"{DEL}", NamedKey::Delete},
                 Case{"{DELETE}", NamedKey::Delete},
                 Case{"{INS}", NamedKey::Insert},
                 Case{"{INSERT}", NamedKey::Insert},
                 Case{"{HOME}", NamedKey::Home},
                 Case{"{END}", NamedKey::End},
                 Case{"{PGUP}", NamedKey::PageUp},
                 Case{"{PGDN}", NamedKey::PageDown},
                 Case{"{UP}", NamedKey::Up},
                 Case{"{DOWN}", NamedKey::Down},
                 Case{"{LEFT}", NamedKey::Left},
                 Case{"{RIGHT}", NamedKey::Right},
                 Case{"{BREAK}", NamedKey::Break},
                 Case{"{CAPSLOCK}", NamedKey::CapsLock},
                 Case{"{NUMLOCK}", NamedKey::NumLock},
                 Case{"{SCROLLLOCK}", NamedKey::ScrollLock},
                 Case{"{PRTSC}", NamedKey::PrintScreen},
                 Case{"{HELP}", NamedKey::Help},
                 Case{"{F1}", NamedKey::F1},
                 Case{"{f8}", NamedKey::F8},
                 Case{"{F10}", NamedKey::F10},
                 Case{"{F16}", NamedKey::F16},
                 Case{"{ADD}", NamedKey::Add},
                 Case{"{SUBTRACT}", NamedKey::Subtract},
                 Case{"{MULTIPLY}", NamedKey::Multiply},
                 Case{"{DIVIDE}", NamedKey::Divide}}) {
    EXPECT_EQ(ParseKeys(c.text), KeyStrokes{N(c.key)}) << c.text;
  }
}

TEST(ParseKeys, RepeatsAndBracedLiterals) {
  EXPECT_EQ(ParseKeys("{LEFT 3}"), (KeyStrokes(3, N(NamedKey::Left))));
  EXPECT_EQ(ParseKeys("{h 2}x"), (KeyStrokes{C('h'), C('h'), C('x')}));
  EXPECT_EQ(ParseKeys("+{RIGHT 2}"), (KeyStrokes(2, N(NamedKey::Right, kModShift))));
  EXPECT_EQ(
      ParseKeys("{+}{^}{%}{~}{(}{)}{{}{}}{[}{]}"),
      (KeyStrokes{C('+'), C('^'), C('%'), C('~'), C('('), C(')'), C('{'), C('}'), C('['), C(']')}));
  EXPECT_EQ(ParseKeys("{} 2}"), (KeyStrokes{C('}'), C('}')}));
  EXPECT_EQ(ParseKeys("{ }"), (KeyStrokes{C(' ')}));
  EXPECT_EQ(ParseKeys("{a 999}").size(), 999u);
}

// The message and the 0-based position of each malformed text.
TEST(ParseKeys, MalformedNotationNamesTheTextAndThePosition) {
  struct Case {
    const char* text;
    size_t position;
    const char* message;
  };
  for (Case c : {
           Case{"{F8", 0, "Key notation \"{F8\" is malformed at position 1: unclosed brace"},
           Case{"ab{", 2, "Key notation \"ab{\" is malformed at position 3: unclosed brace"},
           Case{"a}", 1,
                "Key notation \"a}\" is malformed at position 2: closing brace without an opening "
                "one"},
           Case{"{}", 0, "Key notation \"{}\" is malformed at position 1: empty braces"},
           Case{"{F17}", 1,
                "Key notation \"{F17}\" is malformed at position 2: unknown key name \"F17\""},
           Case{"{SPACE}", 1,
                "Key notation \"{SPACE}\" is malformed at position 2: unknown key name \"SPACE\""},
           Case{"{LEFT x}", 6,
                "Key notation \"{LEFT x}\" is malformed at position 7: bad repeat count \"x\" (a "
                "whole number from 1 to 999)"},
           Case{"{a 0}", 3,
                "Key notation \"{a 0}\" is malformed at position 4: bad repeat count \"0\" (a "
                "whole number from 1 to 999)"},
           Case{
               "{a 1000}", 3,
               "Key notation \"{a 1000}\" is malformed at position 4: bad repeat count \"1000\" (a "
               "whole number from 1 to 999)"},
           Case{"{a -1}", 3,
                "Key notation \"{a -1}\" is malformed at position 4: bad repeat count \"-1\" (a "
                "whole number from 1 to 999)"},
           Case{"{a }", 3,
                "Key notation \"{a }\" is malformed at position 4: bad repeat count \"\" (a whole "
                "number from 1 to 999)"},
           Case{"x(ab", 1,
                "Key notation \"x(ab\" is malformed at position 2: unclosed parenthesis"},
           Case{"ab)", 2,
                "Key notation \"ab)\" is malformed at position 3: closing parenthesis without an "
                "opening one"},
           Case{"+()", 1, "Key notation \"+()\" is malformed at position 2: empty parentheses"},
           Case{"a+", 1,
                "Key notation \"a+\" is malformed at position 2: modifier with nothing after it"},
           Case{"+^", 1,
                "Key notation \"+^\" is malformed at position 2: modifier with nothing after it"},
           Case{"(a%)", 2,
                "Key notation \"(a%)\" is malformed at position 3: modifier with nothing after "
                "it"},
           Case{"[x]", 0,
                "Key notation \"[x]\" is malformed at position 1: a bracket must be written {[} "
                "or {]}"},
           Case{"\xC3\xA9{", 1,
                "Key notation \"\xC3\xA9{\" is malformed at position 2: unclosed brace"},
           Case{"a\xFF", 1,
                "Key notation \"a\xEF\xBF\xBD\" is malformed at position 2: not valid UTF-8 text"},
           Case{"\xC0\x80", 0,
                "Key notation \"\xEF\xBF\xBD\xEF\xBF\xBD\" is malformed at position 1: not valid "
                "UTF-8 text"},
           Case{"\xE2\x82", 0,
                "Key notation \"\xEF\xBF\xBD\xEF\xBF\xBD\" is malformed at position 1: not valid "
                "UTF-8 text"},
       }) {
    try {
      ParseKeys(c.text);
      ADD_FAILURE() << "accepted: " << c.text;
    } catch (const KeyNotationError& e) {
      EXPECT_EQ(std::string(e.what()), c.message);
      EXPECT_EQ(e.Position(), c.position) << c.text;
    }
  }
}

TEST(ParseKeys, GroupsNestDeeperThan32AreRefusedWithoutExhaustingTheStack) {
  const auto nested = [](size_t depth) {
    return std::string(depth, '(') + "a" + std::string(depth, ')');
  };
  EXPECT_EQ(ParseKeys("+" + nested(32)), (KeyStrokes{C('a', kModShift)}));
  try {
    ParseKeys(nested(33));
    ADD_FAILURE() << "33 levels accepted";
  } catch (const KeyNotationError& e) {
    EXPECT_EQ(e.Position(), 32u);
    EXPECT_NE(std::string(e.what()).find("at position 33: parentheses nested deeper than 32"),
              std::string::npos)
        << e.what();
  }
  EXPECT_THROW(ParseKeys(std::string(300000, '(')), KeyNotationError);
}

TEST(ParseKeys, AnOverlongRepeatCountIsRefusedWithoutOverflow) {
  for (const char* text : {"{a 4444444400}", "{a 99999999999999999999999}", "{a 0001}"}) {
    try {
      ParseKeys(text);
      ADD_FAILURE() << "accepted: " << text;
    } catch (const KeyNotationError& e) {
      EXPECT_EQ(e.Position(), 3u);
      EXPECT_NE(std::string(e.what()).find("bad repeat count"), std::string::npos);
    }
  }
}

// Status lines end at a NUL and show other control characters as boxes or not at all.
TEST(ParseKeys, ControlCharactersInTheMessageAreShownVisibly) {
  try {
    ParseKeys(std::string("a\0\t{\x01\x7F}", 7));
    ADD_FAILURE() << "accepted";
  } catch (const KeyNotationError& e) {
    EXPECT_EQ(std::string(e.what()),
              "Key notation \"a\\0\\t{\\x01\\x7F}\" is malformed at position 5: unknown key "
              "name \"\\x01\\x7F\"");
  }
}

TEST(ParseKeys, ErrorsAreConversionErrors) {
  EXPECT_THROW(ParseKeys("{"), ConversionError);
}

}  // namespace
}  // namespace focura
