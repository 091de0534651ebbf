#!/bin/sh
# Writes two lines (the first with a carriage return), leaves a third unfinished, gives its
# reason on the error output and ends with status 4.
printf 'first\r\nsecond\nthird without an end'
echo "why: the fake ends here" >&2
exit 4
