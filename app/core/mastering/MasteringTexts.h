#pragma once

#include <QLatin1String>

// The words the zeroing and mastering commands and dialogs show, in one place, so that the
// dialogs and their tests use the same texts. Texts that end in a blank are followed by a value.
namespace procedures::texts {

// The Zero and Master commands of the main window.
inline constexpr QLatin1String NoGroupsForCommand(
    "No groups exist. You must define at least one group or Open an existing Setup.");

// The channel mastering dialog.
inline constexpr QLatin1String ZeroWord("Zero");
inline constexpr QLatin1String MasterWord("Master");
inline constexpr QLatin1String ChannelsCaption(" Channels");
inline constexpr QLatin1String ChannelsByGroupCaption(" Channels by Group");
inline constexpr QLatin1String NoGroupsExist("No groups exist");
inline constexpr QLatin1String NoFormulaDefined("No formula defined for channel ");
inline constexpr QLatin1String ChannelHasNoFormula("This Channel has no formula");
inline constexpr QLatin1String InsertMaster1("Insert Master 1: ");
inline constexpr QLatin1String InsertMaster2("Insert Master 2: ");
inline constexpr QLatin1String ReadMaster1("Read Master 1");
inline constexpr QLatin1String ReadMaster2("Read Master 2");
inline constexpr QLatin1String NextChannel("Next Channel");
inline constexpr QLatin1String Cannot("Cannot ");
inline constexpr QLatin1String Completed(" completed.");
inline constexpr QLatin1String MasteringUnsuccessful("Mastering unsuccessful.");
inline constexpr QLatin1String MasteringCompleted("Mastering completed.");
inline constexpr QLatin1String MasterNotUsed("Not Used");

// The group mastering dialog.
inline constexpr QLatin1String GroupMasterCaption("Group Master");
inline constexpr QLatin1String
    NoGroupsForGroupDialog("No groups exist. You must define at least one Group.");
inline constexpr QLatin1String
    InvalidGroup("Invalid group selected. Please try selecting a group again.");
inline constexpr QLatin1String NoFormulaFound("No Formula Found");
inline constexpr QLatin1String NoSuchChannel("(no such channel)");
inline constexpr QLatin1String NotApplicable("NA");
inline constexpr QLatin1String EmptyMeasurement("       "); // seven blanks
inline constexpr QLatin1String InsertMaster1AndPress("Insert Master 1 and Press Master");
inline constexpr QLatin1String MeasurementTaken("Measurement taken - Calculating...");
inline constexpr QLatin1String InsertMaster2AndPress("Insert Master 2 and Press Master");
inline constexpr QLatin1String InsertMaster2AndPressAgain("Insert Master 2 and Press Master Again");
inline constexpr QLatin1String ZeroMasterCompleted("Zero Master Completed Successfully.");
inline constexpr QLatin1String RowIncomplete("Mastering unsuccessful.  Incomplete."); // two blanks
inline constexpr QLatin1String MasterAgain("Master Again");
inline constexpr QLatin1String GroupMasteringCompleted("Mastering Completed Successfully.");
inline constexpr QLatin1String RemasterGroup("Mastering Unsuccessful. Remaster Group.");
inline constexpr QLatin1String
    InsertMaster1AndPressAgain("Insert Master 1 and Press Master Again.");

// The group grid's column headers, left to right.
inline constexpr QLatin1String GroupColumns[] = {QLatin1String("Channel - Description"),
                                                 QLatin1String("Value"),
                                                 QLatin1String("Master 1"),
                                                 QLatin1String("Master 2"),
                                                 QLatin1String("Measurement 1"),
                                                 QLatin1String("Measurement 2"),
                                                 QLatin1String("Zero"),
                                                 QLatin1String("Scaling")};

} // namespace procedures::texts
