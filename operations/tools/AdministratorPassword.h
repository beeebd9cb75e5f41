#pragma once

class StoreContext;

// The administrator password and the change passwords it guards, both kept in the common data
// file of the data folder. The user is asked through the prompt service (the choice of what to
// do, the passwords, the change-password list) and through message boxes; every refusal and
// failure shows its message.

// Registers, changes or deletes the administrator password. Registering is offered only while
// no common data file exists; changing asks for the current password (A-204 for an entry that
// cannot be a password, A-561 or A-205 when it is not the administrator's) and keeps the change
// passwords, enciphered anew under the new password; deleting asks first, removes the
// file with every change password in it and tells so. 0 when done, -1 when refused or
// failed, -9 when the user cancelled.
int ManageAdministratorPassword(StoreContext& store);

// Opens the change-password list once the administrator password has been typed and verified:
// A-191 when none is registered, A-192 for an entry that cannot be a password, A-561 or A-205
// when it is not the administrator's. The list saves itself. 0 after OK, -1 when refused or
// failed, -9 when the user cancelled.
int ManageChangePasswords(StoreContext& store);
