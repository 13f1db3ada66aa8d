/*
 * Your own scripts for this manual. This file is loaded after def-js.js and
 * before html-js.js; change manualOptions here or add your own code. It is
 * copied from the program's parts/js folder at every export, so edit it there
 * to keep your changes for the next manual.
 */
