#pragma once

class EventLog;
class UserRegister;

// Asks who works at the desk until a name and password pass, or the dialog is cancelled.
// On success the name as typed becomes the current user, is kept as the last login name and
// logged. False when cancelled.
bool runLoginLoop(const UserRegister &users, EventLog &log);
