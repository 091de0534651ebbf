#!/bin/sh
# An engine that dies before it says a word.
kill -s SEGV $$
