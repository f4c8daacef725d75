# Delete a record shown in one of two record windows: the working list drops it, the window
# shows its neighbour and both windows count the shorter list.
open search
set txtManagedAreaID 1
click cmdFindNow
select flexResults 1
click Add to List
set txtManagedAreaID 4
click cmdFindNow
select flexResults 1
click Add to List
set txtManagedAreaID 6
click cmdFindNow
select flexResults 1
click Add to List
expect list 3
close

open details 1
expect text lblTotalRecords "3"
open details 4
expect text txtCurrentRecord "2"
expect text lblTotalRecords "3"

# The user confirms; the record is gone and the next one shows.
answer Yes
menu Edit>Delete
expect message MGA004
expect list 2
expect list 4 "<not listed>"
expect text txtCurrentRecord "2"
expect text lblTotalRecords "2"
expect text ctlMAName "Laramie Hollow Research Natural Area"

# The other window follows the list.
window 1
expect text lblTotalRecords "2"
