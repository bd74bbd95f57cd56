#include "display/file_info_rows.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> Texts(const std::vector<FileInfoRow>& rows) {
    std::vector<std::string> texts;
    for (const FileInfoRow& row : rows) texts.push_back(row.label + "|" + row.value);
    return texts;
}

} // namespace

TEST(FileInfoRows, EmptyRecordShowsZerosAndTheNeutralGain) {
    const std::vector<std::string> expected = {
        "Datei|", "Artist|", "Titel|", "Album|", "Kommentar|", "Datum|", "Genre|", "Tracknummer|0",
        "L\xE4nge|00:00", "Bitrate|", "Kan\xE4le|0", "Replaygain|1.0000000000", "Streamname|",
    };
    EXPECT_EQ(Texts(FileInfoRows(TrackInfo{})), expected);
}

TEST(FileInfoRows, FilledRecordTakesEveryFieldAsItIs) {
    TrackInfo track;
    track.path = "C:\\Musik\\" + std::string(300, 'x') + ".mp3";
    track.artist = "K\xFCnstler";
    track.title = "Lied";
    track.album = "Platte";
    track.comment = std::string(500, 'c');
    track.date = "1999";
    track.genre = "Rock";
    track.trackNumber = 12;
    track.lengthSeconds = 5400;
    track.bitrateText = "128";
    track.channels = 2;
    track.replayGainFactor = 0.5f;
    track.streamName = "Radio Eins";
    const std::vector<std::string> expected = {
        "Datei|" + track.path, "Artist|K\xFCnstler", "Titel|Lied", "Album|Platte",
        "Kommentar|" + track.comment, "Datum|1999", "Genre|Rock", "Tracknummer|12", "L\xE4nge|90:00",
        "Bitrate|128", "Kan\xE4le|2", "Replaygain|0.5000000000", "Streamname|Radio Eins",
    };
    EXPECT_EQ(Texts(FileInfoRows(track)), expected);
    // The factor is widened to double first, so float rounding shows in the last digits.
    track.replayGainFactor = 0.1f;
    EXPECT_EQ(FileInfoRows(track)[11].value, "0.1000000015");
    EXPECT_EQ(FileInfoClipText(FileInfoRows(track)[1]), "Artist: K\xFCnstler");
}
