#include "settings/file_associations.h"

const char* const AssociationTypes[kAssociationTypeCount] = {
    "Aiff", "Asf", "Asx", "Dls", "Flac", "Fsb", "It", "M3u", "Mid", "Mod", "Mp2",
    "Mp3",  "Ogg", "Pls", "Raw", "S3m",  "Vag", "Wav", "Wax", "Wma", "Xm",  "Xma"};

bool IsOwnAssociation(const std::string& value) {
    return value == kProgramId;
}

AssociationChange ChangeForType(bool ticked, const std::string& currentValue) {
    if (ticked) return AssociationChange::WriteOurs;
    return IsOwnAssociation(currentValue) ? AssociationChange::Clear : AssociationChange::Keep;
}

std::string AssociationIconText(const std::string& exePath) {
    return "\"" + exePath + "\",0";
}

std::string AssociationCommandText(const std::string& exePath) {
    return "\"" + exePath + "\" \"%1\"";
}
