#include "core/announcement.h"
#include "core/bidi.h"
#include "core/tooltiptext.h"
#include "fakeplatform.h"
#include "intake/notificationrecord.h"
#include "reply/hintinsertion.h"
#include "support.h"
#include "ui/layout.h"
#include "ui/principal.h"
#include "ui/showncaption.h"

using fake::Log;

class Window : public testing::Test
{
protected:
    fake::FakeNativeWindow &loadedWindow()
    {
        principal->Text1();
        return *platform.windows.window;
    }

    fake::FakePlatform platform;
    intake::FieldArray fields;
    ui::PrincipalReference principal{platform, fields};
};

struct CentringCase
{
    const char *name;
    platform::TwipSize screen;
    platform::TwipSize outer;
    std::string top;
    std::string left;
};

class Centring : public Window, public testing::WithParamInterface<CentringCase> {};

// Height first, then width, over the whole screen, in single precision and
// unclamped.
TEST_P(Centring, FormLoadCentresTheOuterWindow)
{
    platform.windows.screen = GetParam().screen;
    platform.windows.outer = GetParam().outer;
    principal->Label1();
    EXPECT_EQ(platform.log, (Log{"create Principal", "outer", "screen", "top " + GetParam().top, "outer", "screen",
                                 "left " + GetParam().left}));
}

const CentringCase CentringCases[] = {
    {"1024 x 768 screen", {15360, 11520}, {5820, 2475}, "4522.5", "4770"},
    {"window larger than the screen", {3000, 1500}, {5820, 2475}, "-487.5", "-1410"},
    {"single precision", {15360, 11520}, {5820.3, 2475.3}, "4522.35009765625", "4769.85009765625"},
};
INSTANTIATE_TEST_SUITE_P(Window, Centring, testing::ValuesIn(CentringCases), RowName());

TEST_F(Window, LoadsOnceOnTheFirstAccessToAControl)
{
    (void)*principal;
    EXPECT_TRUE(principal.exists());
    EXPECT_TRUE(platform.log.empty());
    principal->Label2();
    principal->Text1();
    principal->Label3();
    principal->MensajeEnviar();
    principal->hWnd();
    EXPECT_EQ(platform.log, fake::LoadedAndCentred);
    EXPECT_EQ(principal->Text1().text(), Hint);
}

struct KeyCase
{
    const char *name;
    std::optional<std::size_t> focus;
    std::optional<std::u16string> before; // none: the box as loaded
    char16_t key;
    std::u16string after;
    bool loaded;
};

class Keys : public Window, public testing::WithParamInterface<KeyCase> {};

// Every key reaches the window first; Escape unloads it and goes no
// further. Other keys go on to the answer box's handler, which clears the
// hint, and then to the box itself.
TEST_P(Keys, PassTheWindowThenTheAnswerBox)
{
    const KeyCase &row = GetParam();
    fake::FakeNativeWindow &window = loadedWindow();
    if (row.before)
        window.setText(ui::Text1Index, *row.before);
    window.press(row.key, row.focus);

    EXPECT_EQ(window.text(ui::Text1Index), row.after);
    EXPECT_EQ(principal.isLoaded(), row.loaded);
    EXPECT_EQ(principal.exists(), row.loaded);
    EXPECT_EQ(platform.log.back() == "destroy", !row.loaded);
    EXPECT_TRUE(platform.boxes.shown.empty());
}

const std::optional<std::size_t> InText1 = ui::Text1Index;
const std::optional<std::size_t> NoFocus = std::nullopt;

const KeyCase KeyCases[] = {
    {"Escape in the box on the hint", InText1, std::nullopt, 27, Hint, false},
    {"Escape in the box on a half-typed answer", InText1, u"hola qu", 27, u"hola qu", false},
    {"Escape with no control focused", NoFocus, std::nullopt, 27, Hint, false},
    {"a letter replaces the hint", InText1, std::nullopt, u'x', u"x", true},
    {"a letter replaces a typed copy of the hint", InText1, Hint, u'x', u"x", true},
    {"Backspace on the hint empties the box", InText1, std::nullopt, u'\b', u"", true},
    {"a letter on an answer is added to it", InText1, u"hol", u'a', u"hola", true},
    {"a key with no control focused leaves the hint", NoFocus, std::nullopt, u'x', Hint, true},
};
INSTANTIATE_TEST_SUITE_P(Window, Keys, testing::ValuesIn(KeyCases), RowName());

TEST_F(Window, ClosingThroughTheFrameUnloads)
{
    fake::FakeNativeWindow &window = loadedWindow();
    platform.log.clear();
    window.close();
    EXPECT_EQ(platform.log, Log{"destroy"});
    EXPECT_FALSE(principal.exists());
}

TEST_F(Window, UnloadingAWindowNeverLoadedDoesNothing)
{
    principal->Unload();
    EXPECT_TRUE(platform.log.empty());
    EXPECT_TRUE(principal.exists());
    EXPECT_FALSE(principal.isLoaded());
}

TEST_F(Window, AReferenceAfterUnloadIsANewWindow)
{
    principal->Label1().setCaption(u"Ana");
    principal->Unload();
    EXPECT_FALSE(principal.exists());
    platform.log.clear();
    principal->Label1();
    EXPECT_EQ(platform.log, fake::LoadedAndCentred);
}

struct CaptionCase
{
    const char *name;
    ui::CaptionKind kind;
    std::u16string field;
    std::u16string shown; // between the isolate that opens and the one that closes the caption
};

class ShownCaption : public testing::TestWithParam<CaptionCase> {};

// No field can reorder the text beside it or leave anything open past its
// end, and a name shows every character it holds.
TEST_P(ShownCaption, IsTheFieldIsolatedAndNothingHidden)
{
    const CaptionCase &row = GetParam();
    EXPECT_EQ(ui::shownCaption(row.field, row.kind), u'\u2068' + row.shown + u'\u2069');
}

using enum ui::CaptionKind;
const CaptionCase CaptionCases[] = {
    {"accented name", Name, u"José Ñúñez García", u"José Ñúñez García"},
    {"name beyond the BMP", Name, u"Ana 😀", u"Ana 😀"},
    {"right-to-left override in a name", Name, u"Ana \u202Egnp.exe", u"Ana <U+202E>gnp.exe"},
    {"zero-width-only name", Name, u"\u200B\u200C\u200D", u"<U+200B><U+200C><U+200D>"},
    {"a name of spaces alone", Name, u"  ", u"<U+0020><U+0020>"},
    {"spaces around a name", Name, u" Ana ", u" Ana "},
    {"NUL in a name", Name, std::u16string(u"A\0na", 4), u"A<U+0000>na"},
    {"tab in a name", Name, u"Ana\tGarcía", u"Ana<U+0009>García"},
    {"byte-order mark, separators and a C1 control in a name", Name, u"\uFEFFAna\u2028\u2029\u0085",
     u"<U+FEFF>Ana<U+2028><U+2029><U+0085>"},
    {"a space that is no space, in a name", Name, u"Ana\u00A0", u"Ana<U+00A0>"},
    {"a tag character in a name", Name, u"Ana\U000E0041", u"Ana<U+E0041>"},
    {"an isolate closed early in a name", Name, u"Ana\u2069", u"Ana<U+2069>"},
    {"accented message", Message, u"Hola, ¿qué tal?", u"Hola, ¿qué tal?"},
    {"NUL and tab in a message", Message, std::u16string(u"m\0s\tg", 5), std::u16string(u"m\0s\tg", 5)},
    {"an override left open", Message, u"mira \u202Egnp.exe", u"mira \u202Egnp.exe\u202C"},
    {"an isolate left open, an embedding inside it", Message, u"\u2067a\u202Bb", u"\u2067a\u202Bb\u202C\u2069"},
    {"balanced controls kept", Message, u"a\u2067b\u2069c\u202Ad\u202C", u"a\u2067b\u2069c\u202Ad\u202C"},
    {"an isolate's close that opens nothing", Message, u"a\u2069\u202Eb", u"a\u202Eb\u202C"},
    {"an embedding's close that opens nothing", Message, u"a\u202Cb", u"ab"},
    {"an embedding's close across an isolate", Message, u"\u202Ea\u2066b\u202Cc\u2069",
     u"\u202Ea\u2066bc\u2069\u202C"},
    {"an isolate closed with an embedding open inside", Message, u"\u2066\u202Ea\u2069b", u"\u2066\u202Ea\u202C\u2069b"},
    {"each paragraph isolated", Message, u"\u202Ea\u2029b", u"\u202Ea\u202C\u2069\u2029\u2068b"},
};
INSTANTIATE_TEST_SUITE_P(Ui, ShownCaption, testing::ValuesIn(CaptionCases), RowName());

struct CutCase
{
    const char *name;
    std::u16string caption;
    std::size_t limit;
    std::u16string cut;
};

class CutCaption : public testing::TestWithParam<CutCase> {};

// A caption cut to be shown closes, within the limit, what the cut leaves open.
TEST_P(CutCaption, ClosesWhatTheCutLeavesOpen)
{
    EXPECT_EQ(bidi::cutClosed(GetParam().caption, GetParam().limit), GetParam().cut);
}

const CutCase CutCases[] = {
    {"the field's isolate", u"\u2068abcd\u2069", 4, u"\u2068ab\u2069"},
    {"an override inside it", u"\u2068a\u202Ebcd\u202C\u2069", 6, u"\u2068a\u202Eb\u202C\u2069"},
    {"a paragraph's own isolate", u"\u2068a\u2069\u2029\u2068bcd\u2069", 7, u"\u2068a\u2069\u2029\u2068b\u2069"},
    {"never half a character", u"\u2068a\U0001F600b\u2069", 4, u"\u2068a\u2069"},
};
INSTANTIATE_TEST_SUITE_P(Ui, CutCaption, testing::ValuesIn(CutCases), RowName());

// Sender, then message, wherever the window system lists them; a blank
// caption keeps its line. A long caption is described up to the bound.
TEST(Announcement, ReadsTheCaptionsInReadingOrder)
{
    EXPECT_EQ(announcement::ofWindow({{690, 1080, u"Hola"}, {90, 120, u""}, {90, 60, u"Ana"}}), u"Ana\n\nHola");
    const std::u16string longer(announcement::DescribedLimit + 1, u'x');
    EXPECT_EQ(announcement::described(longer), longer.substr(0, announcement::DescribedLimit) + u'\u2026');
}
struct TooltipCase
{
    const char *name;
    std::u16string caption;
    std::u16string shown;
};

class Tooltip : public testing::TestWithParam<TooltipCase> {};

// A tooltip fits on the screen: a few hundred characters, in short lines.
TEST_P(Tooltip, IsBoundedWrappedAndSaysThereIsMore)
{
    EXPECT_EQ(tooltip::text(GetParam().caption), GetParam().shown);
}

const std::u16string Line80(80, u'm');
const TooltipCase TooltipCases[] = {
    {"a line feed starts a line", u"uno\n" + Line80, u"uno\n" + Line80},
    {"broken after the last space of a line", u"ab " + Line80, u"ab\n" + Line80},
    {"one long word broken anywhere, cut with an ellipsis", std::u16string(500, u'm'),
     Line80 + u'\n' + Line80 + u'\n' + Line80 + u'\n' + Line80 + u'\n' + Line80 + u'\u2026'},
    {"no character parted at the bound", std::u16string(399, u'm') + u"😀",
     Line80 + u'\n' + Line80 + u'\n' + Line80 + u'\n' + Line80 + u'\n' + std::u16string(79, u'm') + u'\u2026'},
};
INSTANTIATE_TEST_SUITE_P(Ui, Tooltip, testing::ValuesIn(TooltipCases), RowName());

struct EditCase
{
    const char *name;
    std::u16string before;
    std::u16string after;
    std::size_t replaced;
    std::size_t cursor;
    std::u16string expected;
};

class HintEdits : public testing::TestWithParam<EditCase> {};

// The answer box's text after an edit the box has made: whatever is
// inserted onto the hint, or nothing, replaces it, as the first typed key does; every
// other edit is the box's own.
TEST_P(HintEdits, TheHintGivesWayToAnyInsertion)
{
    const EditCase &row = GetParam();
    EXPECT_EQ(reply::textAfterEdit({row.before, row.after, row.replaced, row.cursor}), row.expected);
}

const EditCase EditCases[] = {
    {"paste inside the hint", Hint, u"Escriba la PEGADOrespuesta aquí...", 0, 17, u"PEGADO"},
    {"paste before the hint", Hint, u"Sí" + Hint, 0, 2, u"Sí"},
    {"paste after the hint", Hint, Hint + u"vale", 0, 32, u"vale"},
    // A paste that begins with the hint's next letters is not turned round.
    {"paste repeating the hint's letters", Hint, u"Escribxba la respuesta aquí...", 0, 7, u"bx"},
    {"paste over the whole hint selected", Hint, u"Escribo", 28, 7, u"Escribo"},
    {"paste over part of the hint", Hint, u"Escriba la nota aquí...", 9, 15, u"nota"},
    {"paste of the hint itself onto the hint", Hint, Hint + Hint, 0, 28, Hint},
    {"a drop that leaves the hint as it was", Hint, Hint, 0, 28, Hint},
    {"Delete on the hint's first letter", Hint, u"scriba la respuesta aquí...", 0, 0, u""},
    {"a cut of part of the hint", Hint, u"Escriba respuesta aquí...", 3, 8, u""},
    {"paste into an answer", u"Hola", u"Hola, Ana", 0, 9, u"Hola, Ana"},
    {"paste into a hint differing in case", u"escriba la respuesta aquí...", u"escriba la Xrespuesta aquí...", 0,
     12, u"escriba la Xrespuesta aquí..."},
    {"a report that does not add up", Hint, u"Escriba la PEGADOrespuesta aquí...", 0, 3, u""},
};
INSTANTIATE_TEST_SUITE_P(Reply, HintEdits, testing::ValuesIn(EditCases), RowName());
