#include "script.h"

#include <gtest/gtest.h>

namespace {

CallRule OnlyRule(const Script& script) {
    EXPECT_EQ(script.rules.size(), 1u);
    return script.rules.empty() ? CallRule{} : script.rules[0];
}

} // namespace

TEST(ScriptRules, ResultAppliesToEveryCallOrToTheNumberedOne) {
    Script every = ParseScript("result FMOD_System_Init 36\n");
    CallRule rule = OnlyRule(every);
    EXPECT_EQ(rule.kind, RuleKind::Result);
    EXPECT_EQ(rule.name, "FMOD_System_Init");
    EXPECT_EQ(rule.callNumber, 0);
    EXPECT_EQ(rule.code, 36);

    rule = OnlyRule(ParseScript("result FMOD_Sound_GetTag#3 -1\n"));
    EXPECT_EQ(rule.name, "FMOD_Sound_GetTag");
    EXPECT_EQ(rule.callNumber, 3);
    EXPECT_EQ(rule.code, -1);
}

TEST(ScriptRules, CrashKindsDefaultToAccess) {
    struct Case {
        const char* line;
        CrashKind kind;
        unsigned raiseCode;
    } cases[] = {
        {"crash FMOD_Channel_SetVolume", CrashKind::Access, 0},
        {"crash FMOD_Channel_SetVolume access", CrashKind::Access, 0},
        {"crash FMOD_Channel_SetVolume divide", CrashKind::Divide, 0},
        {"crash FMOD_Channel_SetVolume illegal", CrashKind::Illegal, 0},
        {"crash FMOD_Channel_SetVolume breakpoint", CrashKind::Breakpoint, 0},
        {"crash FMOD_Channel_SetVolume stack", CrashKind::Stack, 0},
        {"crash FMOD_Channel_SetVolume raise C0000094", CrashKind::Raise, 0xC0000094},
        {"crash FMOD_Channel_SetVolume raise 0xe0001234", CrashKind::Raise, 0xE0001234},
    };
    for (const Case& c : cases) {
        CallRule rule = OnlyRule(ParseScript(c.line));
        EXPECT_EQ(rule.kind, RuleKind::Crash) << c.line;
        EXPECT_EQ(rule.crash, c.kind) << c.line;
        EXPECT_EQ(rule.raiseCode, c.raiseCode) << c.line;
    }
}

TEST(ScriptRules, SleepTakesMilliseconds) {
    CallRule rule = OnlyRule(ParseScript("sleep FMOD_Channel_GetPosition#2 1500"));
    EXPECT_EQ(rule.kind, RuleKind::Sleep);
    EXPECT_EQ(rule.callNumber, 2);
    EXPECT_EQ(rule.sleepMs, 1500u);
}

TEST(ScriptSound, EveryDirectiveSetsItsAnswer) {
    Script script = ParseScript("length 312000 5000000\n"
                                "format 12 10 2 16\n"
                                "position 4000\n"
                                "playing 0\n"
                                "paused 1\n"
                                "wave 0.5 -1 0.25\n");
    const SoundScript& sound = script.defaults;
    EXPECT_EQ(sound.lengthMs, 312000u);
    EXPECT_EQ(sound.lengthRawBytes, 5000000u);
    EXPECT_EQ(sound.soundType, 12);
    EXPECT_EQ(sound.soundFormat, 10);
    EXPECT_EQ(sound.channels, 2);
    EXPECT_EQ(sound.bits, 16);
    EXPECT_EQ(sound.positionMs, 4000u);
    EXPECT_FALSE(sound.playing);
    EXPECT_TRUE(sound.paused);
    EXPECT_EQ(sound.wave, (std::vector<float>{0.5f, -1.0f, 0.25f}));
    EXPECT_TRUE(script.notes.empty());
}

TEST(ScriptSound, DefaultsWithoutScript) {
    Script script = ParseScript("");
    EXPECT_EQ(script.defaults.lengthMs, 0u);
    EXPECT_TRUE(script.defaults.playing);
    EXPECT_FALSE(script.defaults.paused);
    EXPECT_TRUE(script.defaults.wave.empty());
    EXPECT_TRUE(script.rules.empty());
}

TEST(ScriptTags, DataIsTheRestOfTheLineAfterOneBlank) {
    Script script = ParseScript("tag 2 TITLE  two  blanks \ntag 4 icy-name\n");
    ASSERT_EQ(script.defaults.tags.size(), 2u);
    EXPECT_EQ(script.defaults.tags[0].type, 2);
    EXPECT_EQ(script.defaults.tags[0].name, "TITLE");
    EXPECT_EQ(script.defaults.tags[0].data, " two  blanks ");
    EXPECT_EQ(script.defaults.tags[1].name, "icy-name");
    EXPECT_EQ(script.defaults.tags[1].data, "");
}

TEST(ScriptTags, EscapesGiveTheirBytes) {
    Script script = ParseScript("tag 2 ARTIST M\\xf6we\\s\\\\\\n\\t\\0x\n");
    ASSERT_EQ(script.defaults.tags.size(), 1u);
    EXPECT_EQ(script.defaults.tags[0].data, std::string("M\xf6we \\\n\t\0x", 10));
}

TEST(ScriptTags, BrokenEscapesAreRejected) {
    std::string bytes;
    EXPECT_FALSE(DecodeTagData("ends in \\", bytes));
    EXPECT_FALSE(DecodeTagData("\\x4", bytes));
    EXPECT_FALSE(DecodeTagData("\\xg0", bytes));
    EXPECT_FALSE(DecodeTagData("\\q", bytes));
    EXPECT_TRUE(DecodeTagData("\\x4A\\x4a", bytes));
    EXPECT_EQ(bytes, "JJ");
}

TEST(ScriptLines, CommentsBlankLinesAndCrLfAreSkipped) {
    Script script = ParseScript("# a comment\r\n\r\n   \n  # indented comment\nlength 1000 2000\r\nresult FMOD_System_Init 5\r\n");
    EXPECT_EQ(script.defaults.lengthMs, 1000u);
    EXPECT_EQ(script.defaults.lengthRawBytes, 2000u);
    EXPECT_EQ(OnlyRule(script).code, 5);
    EXPECT_TRUE(script.notes.empty());
}

TEST(ScriptLines, UnknownDirectiveIsNotedAndIgnored) {
    Script script = ParseScript("volume 3\nlength 7 8\n");
    ASSERT_EQ(script.notes.size(), 1u);
    EXPECT_EQ(script.notes[0], "# unknown directive: volume 3");
    EXPECT_EQ(script.defaults.lengthMs, 7u);
}

TEST(ScriptLines, MalformedLinesChangeNothing) {
    const char* lines[] = {
        "length 5",
        "length 5 x",
        "length 5 6 7",
        "length -1 6",
        "format 1 2 3",
        "position",
        "playing 2",
        "paused yes",
        "wave 0.5 loud",
        "tag x NAME data",
        "tag 2",
        "tag 2 NAME bad\\q",
        "result FMOD_System_Init",
        "result FMOD_System_Init five",
        "result FMOD_System_Init#0 1",
        "result FMOD_System_Init#x 1",
        "crash FMOD_System_Init melt",
        "crash FMOD_System_Init raise",
        "crash FMOD_System_Init raise zz",
        "crash FMOD_System_Init access extra",
        "sleep FMOD_System_Init",
        "sleep FMOD_System_Init -5",
        "file",
    };
    for (const char* line : lines) {
        Script script = ParseScript(line);
        SoundScript defaults;
        EXPECT_EQ(script.defaults.lengthMs, defaults.lengthMs) << line;
        EXPECT_EQ(script.defaults.channels, defaults.channels) << line;
        EXPECT_EQ(script.defaults.positionMs, defaults.positionMs) << line;
        EXPECT_EQ(script.defaults.playing, defaults.playing) << line;
        EXPECT_EQ(script.defaults.paused, defaults.paused) << line;
        EXPECT_TRUE(script.defaults.wave.empty()) << line;
        EXPECT_TRUE(script.defaults.tags.empty()) << line;
        EXPECT_TRUE(script.rules.empty()) << line;
        EXPECT_TRUE(script.files.empty()) << line;
        ASSERT_EQ(script.notes.size(), 1u) << line;
        EXPECT_EQ(script.notes[0], std::string("# malformed line: ") + line);
    }
}

TEST(ScriptLines, RuleForUnknownEntryPointIsNoted) {
    Script script = ParseScript("result FMOD_System_Explode 1\n");
    EXPECT_TRUE(script.rules.empty());
    ASSERT_EQ(script.notes.size(), 1u);
    EXPECT_EQ(script.notes[0], "# unknown entry point: result FMOD_System_Explode 1");
}

TEST(ScriptLines, EveryEntryPointNameIsKnown) {
    const char* names[] = {
        "FMOD_System_Create", "FMOD_System_Init", "FMOD_System_Release", "FMOD_System_CreateStream",
        "FMOD_System_PlaySound", "FMOD_System_SetStreamBufferSize", "FMOD_System_GetStreamBufferSize",
        "FMOD_Sound_Release", "FMOD_Sound_GetNumTags", "FMOD_Sound_GetTag", "FMOD_Sound_GetLength",
        "FMOD_Sound_GetFormat", "FMOD_Channel_Stop", "FMOD_Channel_GetWaveData", "FMOD_Channel_GetPosition",
        "FMOD_Channel_SetPosition", "FMOD_Channel_GetPaused", "FMOD_Channel_SetPaused", "FMOD_Channel_IsPlaying",
        "FMOD_Channel_SetLoopCount", "FMOD_Channel_SetVolume", "FMOD_Channel_GetVolume",
        "FMOD_Channel_SetPriority", "FMOD_Channel_GetPriority",
    };
    for (const char* name : names) {
        EXPECT_TRUE(IsEntryPointName(name)) << name;
    }
    EXPECT_FALSE(IsEntryPointName("fmod_system_create"));
    EXPECT_FALSE(IsEntryPointName("FMOD_System_Create "));
    EXPECT_FALSE(IsEntryPointName(""));
}

TEST(ScriptFiles, SectionStartsFromDefaultsAndKeepsItsOwnLines) {
    Script script = ParseScript("length 1000 2000\n"
                                "tag 2 ARTIST Someone\n"
                                "result FMOD_Sound_GetTag 19\n"
                                "file C:\\Music\\My Song.mp3\n"
                                "length 3000 4000\n"
                                "tag 2 TITLE Song\n"
                                "crash FMOD_Sound_GetFormat\n"
                                "file http://radio.example/stream\n"
                                "playing 0\n");
    EXPECT_EQ(script.defaults.lengthMs, 1000u);
    ASSERT_EQ(script.defaults.tags.size(), 1u);
    ASSERT_EQ(script.rules.size(), 1u);

    ASSERT_EQ(script.files.size(), 2u);
    const FileSection& song = script.files[0];
    EXPECT_EQ(song.path, "C:\\Music\\My Song.mp3");
    EXPECT_EQ(song.sound.lengthMs, 3000u);
    ASSERT_EQ(song.sound.tags.size(), 2u);
    EXPECT_EQ(song.sound.tags[0].name, "ARTIST");
    EXPECT_EQ(song.sound.tags[1].name, "TITLE");
    ASSERT_EQ(song.rules.size(), 1u);
    EXPECT_EQ(song.rules[0].kind, RuleKind::Crash);

    const FileSection& radio = script.files[1];
    EXPECT_EQ(radio.sound.lengthMs, 1000u) << "starts from the defaults, not from the previous section";
    EXPECT_EQ(radio.sound.tags.size(), 1u);
    EXPECT_FALSE(radio.sound.playing);
    EXPECT_TRUE(radio.rules.empty());
}

TEST(ScriptFiles, PathsMatchByteForByte) {
    Script script = ParseScript("file C:\\a.mp3\nlength 1 1\nfile  C:\\b.mp3\n");
    EXPECT_EQ(FindFileSection(script, "C:\\a.mp3"), 0);
    EXPECT_EQ(FindFileSection(script, "c:\\a.mp3"), -1);
    EXPECT_EQ(FindFileSection(script, "C:/a.mp3"), -1);
    EXPECT_EQ(FindFileSection(script, "C:\\a.mp3 "), -1);
    EXPECT_EQ(FindFileSection(script, " C:\\b.mp3"), 1) << "only one blank separates the path";
}

TEST(ScriptFiles, RepeatedPathContinuesItsSection) {
    Script script = ParseScript("file a.mp3\nlength 5 6\nfile b.mp3\nfile a.mp3\nformat 1 2 3 4\n");
    ASSERT_EQ(script.files.size(), 2u);
    EXPECT_EQ(script.files[0].sound.lengthMs, 5u);
    EXPECT_EQ(script.files[0].sound.channels, 3);
    EXPECT_EQ(script.files[1].sound.channels, 0);
}

TEST(ScriptLines, BinaryGarbageIsIgnoredSafely) {
    std::string garbage;
    for (int i = 0; i < 4096; i++) {
        garbage += static_cast<char>((i * 7919) & 0xFF);
    }
    Script script = ParseScript(garbage);
    EXPECT_TRUE(script.rules.empty());
    EXPECT_FALSE(script.notes.empty());
}
