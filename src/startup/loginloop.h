#pragma once

class EventLog;
class LoginSettingsStore;
class UserRegister;

// Asks who works at the desk until a name and password pass, or the dialog is cancelled.
// The name offered first is the last login's, kept in the store. On success the name as typed
// becomes the current user, is kept as the last login name and logged. False when cancelled.
bool runLoginLoop(const UserRegister &users, LoginSettingsStore &store, EventLog &log);
