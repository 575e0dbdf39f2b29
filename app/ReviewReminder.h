#pragma once
// `kivrotype --remind`: what the autostart entry runs at login. It opens no
// window and takes no program lock: it counts the words due today in the
// player's database, read-only, and when there are any, puts up one desktop
// notification (the freedesktop notification service on the session bus)
// with the action "开始复习", which starts the game on 今日复习.

#include <chrono>
#include <cstdint>

#include <QString>
#include <QStringList>

// The notification's text for this many words.
QString ReminderText(std::int64_t dueWords);

// The words due today in the player's database, opened read-only; 0 when
// there is no database or it cannot be read.
std::int64_t DueWordsForReminder();

// Runs the reminder and returns the exit status, 0 whatever happened: no
// notification service, no database or no word due end it quietly. After the
// notification it waits up to `wait` for its action or its closing; the
// action starts this executable again with `gameArguments`.
int RunReviewReminder(int &argc, char **argv, const QStringList &gameArguments,
                      std::chrono::milliseconds wait = std::chrono::minutes(10));
