#include "settings/file_associations.h"

#include <gtest/gtest.h>

TEST(FileAssociations, ChangeDependsOnTickAndWhoOwnsTheKey) {
    struct Case {
        bool ticked;
        const char* current;
        AssociationChange expected;
    } cases[] = {
        {true, "", AssociationChange::WriteOurs},
        {true, "Quendra", AssociationChange::WriteOurs}, // rewritten even when already ours
        {true, "OtherPlayer.File", AssociationChange::WriteOurs},
        {false, "Quendra", AssociationChange::Clear},
        {false, "quendra", AssociationChange::Keep}, // case differs: not ours
        {false, "OtherPlayer.File", AssociationChange::Keep},
        {false, "", AssociationChange::Keep},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ChangeForType(c.ticked, c.current), c.expected) << c.ticked << " " << c.current;
}

TEST(FileAssociations, IconAndCommandQuoteTheExecutable) {
    const std::string exe = "C:\\Program Files\\Q\\quendra.exe";
    EXPECT_EQ(AssociationIconText(exe), "\"C:\\Program Files\\Q\\quendra.exe\",0");
    EXPECT_EQ(AssociationCommandText(exe), "\"C:\\Program Files\\Q\\quendra.exe\" \"%1\"");
}
