/*
 * Defaults of the manual's page scripts. custom-js.js, loaded next, may change
 * any of them before html-js.js uses them, e.g.
 *   manualOptions.contents = false;
 */
var manualOptions = {
    // Gather each step (heading and image) into one block, so that printing
    // keeps it on one page and the light-box can name it.
    groupSteps: true,
    // A list of the steps at the top of the page, linked to each step.
    contents: true,
    // Steps in the list above this count make the list start closed.
    contentsOpenUpTo: 30
};
