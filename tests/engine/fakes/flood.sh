#!/bin/sh
# Floods its error output with one endless line, then ends with status 5.
head -c 1000000 /dev/zero | tr '\0' x >&2
echo " and then it gave up" >&2
exit 5
