#!/bin/sh
# Starts skarn-mouse. The program keeps its settings in modules/ beside its
# executable; when the installed folder is not writable for this user, it
# runs from a per-user copy that keeps the user's settings across updates.
set -e

here=$(dirname "$(readlink -f "$0")")
app="$here/../lib/skarn-mouse"

if [ -w "$app/modules/setting" ] && [ -w "$app/modules/macro" ]; then
    exec "$app/skarn-mouse" "$@"
fi

user="${XDG_DATA_HOME:-$HOME/.local/share}/skarn-mouse"
mkdir -p "$user"
# The program itself follows the installed one.
if ! cmp -s "$app/skarn-mouse" "$user/skarn-mouse"; then
    cp -f "$app/skarn-mouse" "$user/skarn-mouse.new"
    chmod 755 "$user/skarn-mouse.new"
    mv -f "$user/skarn-mouse.new" "$user/skarn-mouse"
fi
# Data files: only what the user has not got yet; their own stay untouched.
cp -R -n "$app/modules" "$user/"
chmod -R u+w "$user/modules"
exec "$user/skarn-mouse" "$@"
