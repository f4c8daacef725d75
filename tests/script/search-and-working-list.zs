# Find managed areas by name, fill the working list and open records from the results.
open search
expect caption "Find Managed Area"
expect text lblRecordsReturnedCount "0"
set txtManagedAreaName oak
click cmdFindNow
expect no message
expect cell flexResults 0 0 "ID"
expect cell flexResults 0 1 "Managed Area Name"
print flexResults

# Three rows to the working list, then two of them again: each area is listed once.
select flexResults 1-3
click Add to List
expect list 3
select flexResults 2-4
click cmdAddToList
expect list 4

# Replace keeps only the rows chosen.
select flexResults 2
click Replace List
expect list 1
print list

# Details opens the chosen row's record; the search stays open behind it.
select flexResults 1
click Details
expect windows 2
print windows
window 1
expect caption "Find Managed Area"

# New... opens a record window on a new managed area.
click New
expect windows 3

# The search's own Close command closes its window.
window 1
menu File>Close
expect windows 2
