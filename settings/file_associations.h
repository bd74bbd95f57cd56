#pragma once
#include <string>

// The 22 types the player can be the opener of, in the order of the dialog's rows.
constexpr int kAssociationTypeCount = 22;
extern const char* const AssociationTypes[kAssociationTypeCount];

// The program identifier the type keys point to.
constexpr char kProgramId[] = "Quendra";

// A type is the player's when its key's default value is exactly the identifier (case counts).
bool IsOwnAssociation(const std::string& value);

// What "Übernehmen" does to one type's key: a ticked type is (re)written, an unticked one
// is cleared only while it is still ours, so another program's association stays.
enum class AssociationChange { WriteOurs, Clear, Keep };
AssociationChange ChangeForType(bool ticked, const std::string& currentValue);

// The default values of "Quendra\DefaultIcon" and "Quendra\shell\Open\command".
std::string AssociationIconText(const std::string& exePath);
std::string AssociationCommandText(const std::string& exePath);
