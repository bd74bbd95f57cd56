// A drive Wine reports as a CD-ROM over a folder (run_with_cd_drive.sh): fmodex.dll answers
// with a CDDA error, never a crash, and plays files as before.
#include "api_session.h"

using namespace enginetest;

using CdDrive = ApiSession;

TEST_F(CdDrive, AFolderReportedAsACdRomGivesACleanCddaError) {
    const char* drive = std::getenv("QUENDRA_CD_DRIVE");
    if (!drive) GTEST_SKIP() << "not started by run_with_cd_drive.sh: there is no CD drive";
    for (const std::string& name : {std::string(drive), std::string(drive) + "\\"}) {
        const FMOD_RESULT result = Open(name);
        EXPECT_TRUE(result == FMOD_ERR_CDDA_READ || result == FMOD_ERR_CDDA_NODISC || result == FMOD_ERR_CDDA_NOAUDIO)
            << name << ": " << result;
        EXPECT_EQ(sound, nullptr);
    }
    Load(FixturePath("tone440.wav"), false);
    EXPECT_TRUE(WaitUntil([&] { return Position() > 200; }));
}
