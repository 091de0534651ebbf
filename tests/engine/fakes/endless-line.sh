#!/bin/sh
# Writes one line that never ends.
yes | tr -d '\n'
