#pragma once
// The desktop's autostart entry that runs the review reminder at login
// (`kivrotype --remind`). It names this executable by its absolute path and
// the player's folder where the executable would not find it by itself, so
// it is written again at every start while the reminder is on: a moved
// folder does not leave an entry that starts nothing.

#include <QString>

// What the entry starts.
struct TReminderLaunch {
    // The executable, absolute.
    QString Program;
    // --data-dir's folder, absolute; empty when the program finds its own.
    QString DataDir;
    // The working folder (a portable folder's own); empty for none.
    QString WorkingDir;
    bool operator==(const TReminderLaunch &) const = default;
};

// $XDG_CONFIG_HOME/autostart/ (a relative value is ignored, as the desktop
// ignores it), else ~/.config/autostart/; then the entry's file name.
QString ReminderEntryPath();

// The entry's text, or empty when the launch cannot be written in one
// (a path with a line break).
QString ReminderEntryText(const TReminderLaunch &launch);

// This program as start-up ran it: the executable, the --data-dir given
// (SetReminderDataDir) and a portable folder's own folder.
TReminderLaunch ThisProgramsReminder();
// The --data-dir of this run, absolute, or empty.
void SetReminderDataDir(const QString &dir);

// Writes the entry atomically, making its folder when missing; false (and a
// warning) when that fails.
bool WriteReminderEntry(const TReminderLaunch &launch);
// Removes the entry; true when none is left.
bool RemoveReminderEntry();
