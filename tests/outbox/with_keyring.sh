#!/bin/sh
# Runs a test under a session bus of its own with gnome-keyring's Secret Service, unlocked, in a
# home folder of its own (the real user's keyrings are never touched).
set -e
HOME=$(mktemp -d)
export HOME XDG_DATA_HOME="$HOME/.local/share" XDG_RUNTIME_DIR="$HOME/run"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
trap 'rm -rf "$HOME"' EXIT
exec dbus-run-session -- sh -c 'printf sorabako | gnome-keyring-daemon --unlock --components=secrets >/dev/null && "$@"' sh "$@"
