# Open a record from the working list, refuse a bad coordinate, save a change, and close
# with and without changes.
open search
set txtManagedAreaID 12
click cmdFindNow
select flexResults 1
click Add to List
expect list 12 "Silver Barrens State Forest"
close
open details 12
expect caption "MA - Silver Barrens State Forest (Managed Area)"
expect text ctlMAName "Silver Barrens State Forest"
expect cell flexOwners 1 2 "The Nature Conservancy"

# The host refuses a latitude with a digit too many; the field keeps the focus.
tab Locators
set txtNorth 4012301N
leave
expect message "Latitude North"
expect focus txtNorth
set txtNorth 401230N
leave
expect no message

# A new name is saved with Ctrl+S and shows in the window's caption.
tab 0
set ctlMAName "Heron Marsh Preserve"
leave
key Ctrl+S
expect no message
expect caption "MA - Heron Marsh Preserve (Managed Area)"
expect list 12 "Heron Marsh Preserve"

# Nothing unsaved: the window closes without a question.
close
expect no message
expect windows 0

# Unsaved changes: Cancel keeps the window, No closes it without saving.
open details 12
expect text ctlMAName "Heron Marsh Preserve"
tab 1
expect text txtNorth "401230N"
tab 0
set ctlMAName "Not Kept"
leave
answer Cancel
close
expect message MGA001
expect windows 1
answer No
exit
expect message MGA001
expect windows 0
