/*
 * The manual page's own behaviour: steps gathered into blocks, the list of
 * steps, and the print link of the menu. Options come from def-js.js and
 * custom-js.js.
 */
(function ($) {
    'use strict';

    var options = $.extend({groupSteps: true, contents: true, contentsOpenUpTo: 30},
                           window.manualOptions || {});
    var TEXT_CONTENTS = '\u624b\u9806\u4e00\u89a7'; // list of steps

    // Each heading <div> of #items starts a step; its image and line break
    // follow it up to the next heading.
    function groupSteps() {
        $('#items').children('div').not('.step').each(function (i) {
            var $heading = $(this).addClass('step-heading');
            $heading.add($heading.nextUntil('div')).wrapAll('<div class="step"></div>');
            $heading.parent().attr('id', 'step-' + (i + 1));
        });
    }

    // A sentence with line breaks, joined into one line for the list.
    function oneLine($sentence) {
        var $copy = $sentence.clone();
        $copy.find('br').replaceWith(' ');
        return $copy.text();
    }

    function buildContents() {
        var $steps = $('#items .step');
        if ($steps.length < 2) return;
        var $list = $('<ol class="contents-list"></ol>');
        $steps.each(function () {
            var $heading = $(this).children('.step-heading');
            var $item = $('<li></li>');
            $('<a></a>').attr('href', '#' + this.id)
                .append($('<span class="no"></span>').text($heading.find('.no').text()))
                .append(document.createTextNode(oneLine($heading.find('.headding'))))
                .appendTo($item);
            $list.append($item);
        });
        var $box = $('<details class="contents"></details>')
            .append($('<summary></summary>').text(TEXT_CONTENTS + ' (' + $steps.length + ')'))
            .append($list);
        if ($steps.length <= options.contentsOpenUpTo) $box.attr('open', 'open');
        $('#menu').append($box);
    }

    $(function () {
        if (options.groupSteps) {
            groupSteps();
            if (options.contents) buildContents();
        }
        // An image that was not found has no file: show nothing instead of a broken picture.
        $('#items img').filter(function () { return !$(this).attr('src'); }).addClass('missing');
        $('#menu').on('click', 'a.print', function (e) {
            e.preventDefault();
            window.print();
        });
    });
})(jQuery);
